#pragma once
// Every message the program shows: the standard error message, information
// messages, questions with buttons and file choices. Each is recorded in order, so
// the headless mode and the tests can read what a user would have seen.
//
// A presenter (the Qt front end) shows them for real. Without one, or when an
// answer was queued in advance (automation), the queued answer is taken, else the
// first button.
//
// Thread: user-interface thread only.

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct DialogRecord {
    enum class Type { Error, Information, Question, FileChoice };
    Type type = Type::Error;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    std::string answer; ///< the button or file chosen; empty for plain messages or a cancel
};
std::string_view dialogTypeName(DialogRecord::Type type);

class Dialogs {
  public:
    using Presenter = std::function<std::string(const DialogRecord&)>;

    void setPresenter(Presenter p) { presenter_ = std::move(p); }
    void setTitle(std::string title) { title_ = std::move(title); }

    /// The application's standard error message.
    void showError(std::string_view text);
    void showInfo(std::string_view text);
    /// A modal question; returns the caption of the button chosen. `title` defaults
    /// to the application's title.
    std::string ask(std::string_view text, const std::vector<std::string>& buttons,
                    std::string_view title = {});
    /// A file dialog; returns the path chosen, or "" when cancelled.
    std::string chooseFile(std::string_view title, std::string_view filter);

    /// The answer the next question will get (automation: `answer`).
    void queueAnswer(std::string answer) { answers_.push_back(std::move(answer)); }
    /// The path the next file dialog will get; "" cancels (automation: `choose-file`).
    void queueFile(std::string path) { files_.push_back(std::move(path)); }

    const std::vector<DialogRecord>& log() const { return log_; }

  private:
    std::string present(DialogRecord record, std::deque<std::string>& queued);

    Presenter presenter_;
    std::string title_;
    std::deque<std::string> answers_;
    std::deque<std::string> files_;
    std::vector<DialogRecord> log_;
};

} // namespace ui
