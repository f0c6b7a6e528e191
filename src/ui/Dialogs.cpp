#include "ui/Dialogs.h"

namespace ui {

std::string_view dialogTypeName(DialogRecord::Type type) {
    switch (type) {
    case DialogRecord::Type::Error:
        return "error";
    case DialogRecord::Type::Information:
        return "information";
    case DialogRecord::Type::Question:
        return "question";
    case DialogRecord::Type::FileChoice:
        return "file";
    }
    return "unknown";
}

std::string Dialogs::present(DialogRecord record, std::deque<std::string>& queued) {
    if (!queued.empty()) {
        record.answer = std::move(queued.front());
        queued.pop_front();
    } else if (presenter_) {
        record.answer = presenter_(record);
    } else if (!record.buttons.empty()) {
        record.answer = record.buttons.front();
    }
    log_.push_back(record);
    return log_.back().answer;
}

void Dialogs::showError(std::string_view text) {
    std::deque<std::string> none;
    present({DialogRecord::Type::Error, title_, std::string(text), {"OK"}, {}}, none);
}

void Dialogs::showInfo(std::string_view text) {
    std::deque<std::string> none;
    present({DialogRecord::Type::Information, title_, std::string(text), {"OK"}, {}}, none);
}

std::string Dialogs::ask(std::string_view text, const std::vector<std::string>& buttons,
                         std::string_view title) {
    return present({DialogRecord::Type::Question,
                    title.empty() ? title_ : std::string(title),
                    std::string(text),
                    buttons,
                    {}},
                   answers_);
}

std::string Dialogs::chooseFile(std::string_view title, std::string_view filter) {
    return present(
        {DialogRecord::Type::FileChoice, std::string(title), std::string(filter), {}, {}}, files_);
}

} // namespace ui
