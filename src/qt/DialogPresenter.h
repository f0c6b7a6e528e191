#pragma once
// Shows the application's messages for real: message boxes for errors, information
// and questions (with the model's button captions, answering with the caption
// clicked) and the file dialog for file choices. The dialogs service calls it only
// when no answer was queued in advance.
//
// Installs itself as the presenter of the application's dialogs and removes itself
// when destroyed. Owns nothing else. Thread: user-interface thread only; presenting
// runs a modal loop, in which the window keeps painting while the model's timers and
// posted work wait for the handler that asked to finish.

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

#include "ui/Dialogs.h"

namespace ui {
class Application;
}

namespace qtfront {

class DialogPresenter {
  public:
    /// `app` must outlive the presenter; `parentWindow` names the window the dialogs
    /// belong to (nullptr: none).
    DialogPresenter(ui::Application& app, std::function<QWidget*()> parentWindow);
    ~DialogPresenter();
    DialogPresenter(const DialogPresenter&) = delete;
    DialogPresenter& operator=(const DialogPresenter&) = delete;

    /// Shows `record` modally and returns the button caption or file chosen ("" when
    /// the user dismissed a file dialog, or a box without any of its buttons).
    static std::string present(const ui::DialogRecord& record, QWidget* parent);
    /// What closing `record`'s dialog without choosing answers: "" for a file
    /// dialog or a box without buttons, else the last button. Once the program is
    /// asked to end (Application::requestQuit), every dialog is answered so without
    /// being shown.
    static std::string cancelAnswer(const ui::DialogRecord& record);

    /// "Text files|*.txt;*.log|All|*.*" (the designed filter form) as a Qt file
    /// dialog filter; a filter without '|' is taken as it is.
    static QString toQtFilter(const std::string& filter);

  private:
    ui::Application& app_;
};

} // namespace qtfront
