#include "automation/ControlProperties.h"

#include <limits>
#include <string>

#include "automation/Arguments.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"

namespace automation {

namespace {

using nlohmann::json;

json pictureJson(const ui::PictureRef& picture) {
    if (!picture || picture->empty())
        return nullptr;
    return {
        {"source", picture->source()}, {"width", picture->width()}, {"height", picture->height()}};
}

json menuItemsJson(const ui::Control& parent) {
    json items = json::array();
    for (const auto& child : parent.children())
        if (const auto* item = dynamic_cast<const ui::MenuItem*>(child.get()))
            items.push_back({{"name", item->name()},
                             {"caption", item->caption()},
                             {"visible", item->visible()},
                             {"enabled", item->enabled()},
                             {"checked", item->checked()}});
    return items;
}

void describeKind(const ui::Control& c, json& out) {
    switch (c.kind()) {
    case ui::Kind::Form: {
        const auto& form = static_cast<const ui::Form&>(c);
        out["principal"] = form.app().principal() == &form;
        out["stayOnTop"] = form.stayOnTop();
        out["frameless"] = form.frameless();
        out["pointerHidden"] = form.pointerHidden();
        out["systemResizes"] = form.systemResizes();
        break;
    }
    case ui::Kind::Label: {
        const auto& label = static_cast<const ui::Label&>(c);
        out["wordWrap"] = label.wordWrap();
        out["transparent"] = label.transparent();
        break;
    }
    case ui::Kind::Image: {
        const auto& image = static_cast<const ui::Image&>(c);
        out["picture"] = pictureJson(image.picture());
        out["stretch"] = image.stretch();
        break;
    }
    case ui::Kind::Button:
        out["picture"] = pictureJson(static_cast<const ui::Button&>(c).glyph());
        break;
    case ui::Kind::Edit:
        out["readOnly"] = static_cast<const ui::Edit&>(c).readOnly();
        break;
    case ui::Kind::Memo: {
        const auto& memo = static_cast<const ui::Memo&>(c);
        out["text"] = memo.text();
        out["lines"] = memo.lines();
        break;
    }
    case ui::Kind::RadioButton:
        out["checked"] = static_cast<const ui::RadioButton&>(c).checked();
        break;
    case ui::Kind::TrackBar:
    case ui::Kind::ProgressBar: {
        const auto& range = static_cast<const ui::RangeControl&>(c);
        out["position"] = range.position();
        out["min"] = range.min();
        out["max"] = range.max();
        break;
    }
    case ui::Kind::PageControl: {
        const auto& pages = static_cast<const ui::PageControl&>(c);
        out["active"] = pages.activeIndex();
        json tabs = json::array();
        for (int i = 0; i < pages.pageCount(); ++i) {
            const auto& sheet = pages.page(i);
            tabs.push_back({{"name", sheet.name()},
                            {"caption", sheet.caption()},
                            {"visible", sheet.tabVisible()}});
        }
        out["tabs"] = std::move(tabs);
        break;
    }
    case ui::Kind::TabSheet: {
        const auto& sheet = static_cast<const ui::TabSheet&>(c);
        out["tabVisible"] = sheet.tabVisible();
        const auto* pages = dynamic_cast<const ui::PageControl*>(sheet.parent());
        out["pageIndex"] = pages ? pages->indexOf(sheet) : -1;
        break;
    }
    case ui::Kind::CaptionPanel: {
        const auto& panel = static_cast<const ui::CaptionPanel&>(c);
        out["collapsed"] = panel.collapsed();
        out["titleHeight"] = panel.titleHeight();
        break;
    }
    case ui::Kind::SideChannel:
        out["popped"] = static_cast<const ui::SideChannel&>(c).popped();
        break;
    case ui::Kind::StringGrid: {
        const auto& grid = static_cast<const ui::StringGrid&>(c);
        out["colCount"] = grid.colCount();
        out["rowCount"] = grid.rowCount();
        out["fixedRows"] = grid.fixedRows();
        out["defaultRowHeight"] = grid.defaultRowHeight();
        out["selectedCol"] = grid.selectedCol();
        out["selectedRow"] = grid.selectedRow();
        json widths = json::array();
        for (int col = 0; col < grid.colCount(); ++col)
            widths.push_back(grid.colWidth(col));
        out["colWidths"] = std::move(widths);
        json cells = json::array();
        for (int row = 0; row < grid.rowCount(); ++row) {
            json line = json::array();
            for (int col = 0; col < grid.colCount(); ++col)
                line.push_back(grid.cell(col, row));
            cells.push_back(std::move(line));
        }
        out["cells"] = std::move(cells);
        break;
    }
    case ui::Kind::TreeView: {
        const auto& tree = static_cast<const ui::TreeView&>(c);
        json nodes = json::array();
        for (int i = 0; i < tree.count(); ++i) {
            const auto& node = tree.node(i);
            nodes.push_back({{"text", node.text},
                             {"imageIndex", node.imageIndex},
                             {"selectedIndex", node.selectedIndex},
                             {"level", node.level},
                             {"parent", node.parent}});
        }
        out["nodes"] = std::move(nodes);
        out["selected"] = tree.selected();
        break;
    }
    case ui::Kind::Animation: {
        const auto& animation = static_cast<const ui::Animation&>(c);
        out["fileName"] = animation.fileName();
        out["active"] = animation.active();
        break;
    }
    case ui::Kind::WebView: {
        const auto& web = static_cast<const ui::WebView&>(c);
        out["url"] = web.url();
        out["history"] = web.history();
        out["busy"] = web.busy();
        out["loads"] = web.loads();
        break;
    }
    case ui::Kind::MediaSurface:
        out["windowId"] = static_cast<const ui::MediaSurface&>(c).windowId();
        break;
    case ui::Kind::Menu: {
        const auto& menu = static_cast<const ui::Menu&>(c);
        out["style"] = menu.style() == ui::Menu::Style::Main ? "main" : "popup";
        out["items"] = menuItemsJson(menu);
        out["popupCount"] = menu.popupCount();
        out["popupX"] = menu.popupX();
        out["popupY"] = menu.popupY();
        break;
    }
    case ui::Kind::MenuItem:
        out["checked"] = static_cast<const ui::MenuItem&>(c).checked();
        out["items"] = menuItemsJson(c);
        break;
    case ui::Kind::Timer: {
        const auto& timer = static_cast<const ui::Timer&>(c);
        out["interval"] = timer.interval();
        out["due"] = timer.due() < 0 ? json(nullptr) : json(timer.due());
        break;
    }
    case ui::Kind::Panel:
        break;
    }
}

[[noreturn]] void cannotSet(const ui::Control& c, std::string_view property) {
    throw RequestError("set: property '" + std::string(property) + "' of " +
                       std::string(ui::kindName(c.kind())) + " '" + c.name() + "' cannot be set");
}

} // namespace

json describeControl(const ui::Control& c) {
    const ui::Font& font = c.font();
    json out = {
        {"name", c.name()},
        {"kind", std::string(ui::kindName(c.kind()))},
        {"form", c.form() ? json(c.form()->name()) : json(nullptr)},
        {"parent", c.parent() ? json(c.parent()->name()) : json(nullptr)},
        {"visible", c.visible()},
        {"showing", c.showing()},
        {"enabled", c.enabled()},
        {"left", c.left()},
        {"top", c.top()},
        {"width", c.width()},
        {"height", c.height()},
        {"zIndex", c.zIndex()},
        {"hint", c.hint()},
        {"fontName", font.name},
        {"fontColor", font.colour.hex()},
        {"fontHeight", font.height},
        {"fontSize", font.points()},
        {"fontBold", font.bold},
        {"fontUnderline", font.underline},
        {"color", c.hasColour() ? json(c.colour().hex()) : json(nullptr)},
        {"cursor", std::string(ui::cursorName(c.cursor()))},
        {"popupMenu", c.popupMenu() ? json(static_cast<const ui::Control*>(c.popupMenu())->name())
                                    : json(nullptr)},
        {"skin", c.skin()},
        {"picture", nullptr},
    };
    // An edit's caption is what the user typed, so it is reported as text.
    out[c.kind() == ui::Kind::Edit ? "text" : "caption"] = c.caption();
    if (!c.keyHint().empty())
        out["keyHint"] = c.keyHint();
    describeKind(c, out);
    return out;
}

void setControlProperty(ui::Control& c, std::string_view property, const json& value) {
    const std::string context = "set " + std::string(property);
    if (property == "text" || property == "caption") {
        std::string text = requireString(value, context, "VALUE");
        if (auto* memo = dynamic_cast<ui::Memo*>(&c); memo && property == "text")
            memo->setText(text);
        else
            c.setCaption(std::move(text));
        return;
    }
    if (property == "lines") {
        auto* memo = dynamic_cast<ui::Memo*>(&c);
        if (!memo)
            cannotSet(c, property);
        if (!value.is_array())
            throw RequestError(context + ": VALUE must be an array of strings");
        std::vector<std::string> lines;
        for (const auto& line : value)
            lines.push_back(requireString(line, context, "every line"));
        memo->setLines(std::move(lines));
        return;
    }
    if (property == "checked") {
        auto* radio = dynamic_cast<ui::RadioButton*>(&c);
        if (!radio)
            cannotSet(c, property);
        radio->setChecked(requireBool(value, context, "VALUE"));
        return;
    }
    if (property == "position") {
        auto* range = dynamic_cast<ui::RangeControl*>(&c);
        if (!range)
            cannotSet(c, property);
        // The bar clamps to its range, as it does for a drag past either end.
        range->setPosition(static_cast<int>(requireInteger(value, context, "VALUE",
                                                           std::numeric_limits<int>::min(),
                                                           std::numeric_limits<int>::max())));
        return;
    }
    if (property == "selected") {
        auto* tree = dynamic_cast<ui::TreeView*>(&c);
        if (!tree)
            cannotSet(c, property);
        const auto index = requireInteger(value, context, "VALUE", -1, tree->count() - 1);
        tree->setSelected(static_cast<int>(index));
        return;
    }
    if (property == "cell") {
        auto* grid = dynamic_cast<ui::StringGrid*>(&c);
        if (!grid)
            cannotSet(c, property);
        if (!value.is_object() || !value.contains("col") || !value.contains("row") ||
            !value.contains("text"))
            throw RequestError(context + ": VALUE must be an object {\"col\", \"row\", \"text\"}");
        const auto col = requireInteger(value["col"], context, "col", 0, grid->colCount() - 1);
        const auto row = requireInteger(value["row"], context, "row", 0, grid->rowCount() - 1);
        grid->setCell(static_cast<int>(col), static_cast<int>(row),
                      requireString(value["text"], context, "text"));
        return;
    }
    if (property == "width" || property == "height") {
        // A form's size changes as a user's drag of its border would change it.
        auto* form = dynamic_cast<ui::Form*>(&c);
        if (!form)
            cannotSet(c, property);
        const int v = static_cast<int>(requireInteger(value, context, "VALUE", 0, 100000));
        if (property == "width")
            form->resize(v, form->height());
        else
            form->resize(form->width(), v);
        return;
    }
    cannotSet(c, property);
}

} // namespace automation
