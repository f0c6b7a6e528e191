#pragma once
// The style sheet of one control's Qt objects: its skin group's sheet where the
// group starts (the members inherit it from there), and a rule naming the widget
// for the colours the model gives it.
//
// Thread: a pure function; the front end calls it on the user-interface thread.

#include <QString>

namespace ui {
class Control;
}

namespace qtfront {

class Skins;

/// The sheet for `control`. `widgetName` is the object name of the control's widget;
/// empty when the control has none of its own (a menu), which then gets its skin
/// group's sheet only.
QString styleSheetOf(const ui::Control& control, const QString& widgetName, const Skins& skins);

} // namespace qtfront
