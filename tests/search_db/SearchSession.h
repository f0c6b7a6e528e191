#pragma once
// The program online against the test catalogue, with the search box typed into
// as a user does: click into it, type, and the commands of the search pages.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "db/Query.h"
#include "support/ProgramTest.h"
#include "ui/Control.h"
#include "ui/StringGrid.h"
#include "ui/Widgets.h"

namespace testsupport {

class SearchSession : public ProgramTest {
  protected:
    /// Clicks into the box (leaving its help state) and types `text`.
    void type(const std::string& text) {
        click("sqlsearchedit");
        app->dispatch([&] { box().setText(text); });
    }
    ui::Edit& box() { return dynamic_cast<ui::Edit&>(*app->findControl("sqlsearchedit")); }
    ui::StringGrid& grid() {
        return dynamic_cast<ui::StringGrid&>(*app->findControl("stringgrid"));
    }
    const std::string& caption(const std::string& name) {
        return app->findControl(name)->caption();
    }
    /// A hidden control or menu item, as the program clicks it (a user cannot).
    void press(const std::string& name) {
        app->dispatch([&] { app->findControl(name)->onClick(); });
    }
    void choose(const std::string& radio) { click(radio); }
    void select(int col, int row) {
        ui::EventArgs args;
        args.col = col;
        args.row = row;
        event("stringgrid", ui::Event::SelectCell, args);
    }
    nlohmann::json textRow(int row) { return app->state().get("textResults")[row - 1]; }
    /// A column of every row of `sql`, run as root in halden.
    std::vector<std::string> column(const std::string& sql, const std::string& name) {
        std::vector<std::string> out;
        db::Query q(root(), "halden");
        q.setSql(sql);
        q.open();
        for (; !q.eof(); q.next())
            out.push_back(q.field(name).text());
        return out;
    }
};

} // namespace testsupport
