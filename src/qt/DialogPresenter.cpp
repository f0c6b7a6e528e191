#include "qt/DialogPresenter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "qt/Conversions.h"
#include "ui/Application.h"

namespace qtfront {

DialogPresenter::DialogPresenter(ui::Application& app, std::function<QWidget*()> parentWindow)
    : app_(app) {
    app_.dialogs().setPresenter(
        [&app, parentWindow = std::move(parentWindow)](const ui::DialogRecord& record) {
            // The program is ending: nobody is there to answer.
            if (app.quitRequested())
                return cancelAnswer(record);
            return present(record, parentWindow ? parentWindow() : nullptr);
        });
}

std::string DialogPresenter::cancelAnswer(const ui::DialogRecord& record) {
    // What closing the dialog answers: no file, or the last button (see present()).
    if (record.type == ui::DialogRecord::Type::FileChoice || record.buttons.empty())
        return {};
    return record.buttons.back();
}

DialogPresenter::~DialogPresenter() {
    app_.dialogs().setPresenter({});
}

QString DialogPresenter::toQtFilter(const std::string& filter) {
    const QString text = toQString(filter);
    if (!text.contains(u'|'))
        return text;
    const QStringList parts = text.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns.trimmed());
    }
    return entries.join(QStringLiteral(";;"));
}

std::string DialogPresenter::present(const ui::DialogRecord& record, QWidget* parent) {
    if (record.type == ui::DialogRecord::Type::FileChoice)
        return toStdString(QFileDialog::getOpenFileName(parent, toQString(record.title), QString(),
                                                        toQtFilter(record.text)));

    QMessageBox box(parent);
    box.setWindowTitle(toQString(record.title));
    // Message texts carry catalogue titles and error texts: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(toQString(record.text));
    switch (record.type) {
    case ui::DialogRecord::Type::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case ui::DialogRecord::Type::Question:
        box.setIcon(QMessageBox::Question);
        break;
    default:
        box.setIcon(QMessageBox::Information);
        break;
    }
    const std::vector<std::string> captions =
        record.buttons.empty() ? std::vector<std::string>{"OK"} : record.buttons;
    std::vector<QPushButton*> buttons;
    for (const auto& caption : captions)
        buttons.push_back(box.addButton(toQString(caption), QMessageBox::AcceptRole));
    box.setDefaultButton(buttons.front());
    // Closing the box answers with the last button, the one a window's close box means.
    box.setEscapeButton(buttons.back());
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            return record.buttons.empty() ? std::string() : captions[i];
    return {};
}

} // namespace qtfront
