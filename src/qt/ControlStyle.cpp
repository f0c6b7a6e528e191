#include "qt/ControlStyle.h"

#include "qt/Conversions.h"
#include "qt/Skins.h"
#include "ui/Widgets.h"

namespace qtfront {

namespace {

/// Kinds whose background the model's colour paints.
bool paintsColour(const ui::Control& c) {
    switch (c.kind()) {
    case ui::Kind::Form:
    case ui::Kind::Panel:
    case ui::Kind::TabSheet:
    case ui::Kind::CaptionPanel:
    case ui::Kind::Edit:
    case ui::Kind::Memo:
    case ui::Kind::StringGrid:
    case ui::Kind::TreeView:
        return true;
    case ui::Kind::Label:
        return !static_cast<const ui::Label&>(c).transparent();
    default:
        return false;
    }
}

/// Kinds that become a flat plain surface when the model gives them a colour.
bool flatWhenColoured(ui::Kind kind) {
    return kind == ui::Kind::Form || kind == ui::Kind::Panel || kind == ui::Kind::TabSheet ||
           kind == ui::Kind::Label;
}

/// The skin group a control follows: its own, else the nearest parent's.
int effectiveSkin(const ui::Control* control) {
    for (const ui::Control* c = control; c; c = c->parent())
        if (c->skin() != 0)
            return c->skin();
    return 0;
}

} // namespace

QString styleSheetOf(const ui::Control& control, const QString& widgetName, const Skins& skins) {
    QString sheet;
    const int inherited = control.parent() ? effectiveSkin(control.parent()) : 0;
    if (control.skin() != 0 && control.skin() != inherited)
        sheet = skins.sheet(control.skin());
    if (widgetName.isEmpty())
        return sheet;

    QString rules;
    if (control.kind() == ui::Kind::MediaSurface) {
        // Whatever the skin, a player draws on black.
        rules = QStringLiteral("background: #000000; border: none;");
    } else {
        if (control.font().colour != ui::Font{}.colour)
            rules += QStringLiteral("color: %1;").arg(toQString(control.font().colour.hex()));
        if (control.kind() == ui::Kind::Form) {
            const ui::Colour back = control.hasColour() ? control.colour() : ui::colours::black;
            rules += QStringLiteral("background: %1; border: none;").arg(toQString(back.hex()));
        } else if (control.hasColour() && paintsColour(control)) {
            rules += QStringLiteral("background: %1;").arg(toQString(control.colour().hex()));
            if (flatWhenColoured(control.kind()))
                rules += QStringLiteral(" border: none;");
        }
    }
    if (!rules.isEmpty()) {
        if (!sheet.isEmpty())
            sheet += u'\n';
        sheet += QStringLiteral("#%1 { %2 }").arg(widgetName, rules);
    }
    return sheet;
}

} // namespace qtfront
