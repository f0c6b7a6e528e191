// The searches in the real window, against the test catalogue: typing into the
// search box and pressing Enter fills Newest Videos; a text search fills the grid,
// a real table that scrolls, takes the user's column widths and selects a row.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "QtEnvironment.h"
#include "qt/FormWindow.h"
#include "qt/FrontEnd.h"
#include "support/ProgramTest.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/StringGrid.h"
#include "ui/Widgets.h"

namespace {

class SearchWindow : public testsupport::ProgramTest {
  protected:
    void SetUp() override {
        qttest::application();
        ProgramTest::SetUp();
    }
    void TearDown() override {
        front.reset();
        ProgramTest::TearDown();
    }
    void showWindow() {
        startOnline();
        front =
            std::make_unique<qtfront::FrontEnd>(*app, qtfront::Skins::load(qttest::skinFolder()));
        front->sync();
        window = front->windowOf(*form);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    template <class T> T* widget(const std::string& name) const {
        return qobject_cast<T*>(front->widgetOf(*app->findControl(name)));
    }
    /// Clicks into the search box and types `text` as a user does.
    void typeIntoTheBox(const QString& text) {
        auto* edit = widget<QLineEdit>("sqlsearchedit");
        ASSERT_NE(edit, nullptr);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClicks(edit, text);
    }

    std::unique_ptr<qtfront::FrontEnd> front;
    qtfront::FormWindow* window = nullptr;
};

TEST_F(SearchWindow, EnterInTheBoxFillsNewestVideos) {
    showWindow();
    auto* edit = widget<QLineEdit>("sqlsearchedit");
    EXPECT_EQ(edit->text(), "Enter Search Request");
    typeIntoTheBox("surfing");
    EXPECT_EQ(edit->text(), "surfing");
    EXPECT_EQ(dynamic_cast<ui::Edit&>(*app->findControl("sqlsearchedit")).text(), "surfing");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(errors().empty()) << errors().front();
    EXPECT_TRUE(state<bool>("resultQueryShown"));
    EXPECT_EQ(app->findControl("suiTabSheet8")->caption(), "surfing");
    EXPECT_EQ(app->findControl("resultsLabel")->caption(), "Pages 0 - 8");
    EXPECT_NE(app->state().get("featureSlots")[0]["title"].get<std::string>().find("urfing"),
              std::string::npos);
    EXPECT_TRUE(front->widgetOf(*app->findControl("featurepic1"))->isVisible());
}

TEST_F(SearchWindow, ATextSearchFillsARealTable) {
    showWindow();
    typeIntoTheBox("reports");
    QTest::mouseClick(widget<QRadioButton>("mostpopularchecked"), Qt::LeftButton);
    ASSERT_TRUE(state<bool>("imageSearchPopular"));
    QTest::mouseClick(front->widgetOf(*app->findControl("textSearch")), Qt::LeftButton);
    ASSERT_TRUE(errors().empty()) << errors().front();
    ASSERT_EQ(state<int>("textResultCount"), 100);

    auto* table = widget<QTableWidget>("stringgrid");
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(table->isVisible());
    auto& grid = dynamic_cast<ui::StringGrid&>(*app->findControl("stringgrid"));
    EXPECT_EQ(table->columnCount(), 5);
    EXPECT_EQ(table->rowCount(), 100);
    EXPECT_EQ(table->horizontalHeaderItem(3)->text(), " Catergory ");
    EXPECT_EQ(table->columnWidth(1), 237);
    EXPECT_EQ(table->verticalHeader()->defaultSectionSize(), 24);
    for (int r : {0, 57, 99})
        EXPECT_EQ(table->item(r, 1)->text().toStdString(), grid.cell(1, r + 1)) << r;

    // The last row is reached by scrolling.
    EXPECT_EQ(table->verticalScrollBar()->value(), 0);
    table->scrollToItem(table->item(99, 1));
    EXPECT_GT(table->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(table->viewport()->rect().intersects(table->visualItemRect(table->item(99, 1))));

    // The user widens a column; the grid keeps the width.
    table->horizontalHeader()->resizeSection(1, 300);
    EXPECT_EQ(grid.colWidth(1), 300);
    front->sync();
    EXPECT_EQ(table->columnWidth(1), 300);

    // A click selects the row and opens the grid's menu beside the pointer.
    const QRect cell = table->visualItemRect(table->item(98, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid.selectedRow(), 99);
    EXPECT_EQ(state<std::string>("selectionTitle"), grid.cell(1, 99));
    EXPECT_EQ(app->state().get("nowPlaying")["title"], grid.cell(1, 99));
    auto& menu = dynamic_cast<ui::Menu&>(*app->findControl("videopopup"));
    EXPECT_EQ(menu.popupCount(), 1);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible())
            m->close();
}

} // namespace
