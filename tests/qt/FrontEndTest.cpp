// The Qt front end against a form with one control of every kind: what it shows,
// how it follows the model, and how the user's input reaches the handlers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "GalleryForm.h"
#include "QtEnvironment.h"
#include "qt/BusyIndicator.h"
#include "qt/CaptionPanelWidget.h"
#include "qt/FormWindow.h"
#include "qt/FrontEnd.h"
#include "qt/PageControlWidget.h"
#include "qt/PanelWidget.h"
#include "qt/PictureWidget.h"
#include "qt/SideChannelWidget.h"
#include "ui/Application.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

/// How many different colours a region of an image holds.
int colourCount(const QImage& image, const QRect& region) {
    QSet<QRgb> colours;
    const QRect r = region.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

/// The average colour of a region of an image.
QColor averageColour(const QImage& image, const QRect& region) {
    const QRect r = region.intersected(image.rect());
    long long red = 0, green = 0, blue = 0, n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red();
            green += c.green();
            blue += c.blue();
            ++n;
        }
    if (n == 0)
        return {};
    return QColor(static_cast<int>(red / n), static_cast<int>(green / n),
                  static_cast<int>(blue / n));
}

class FrontEndTest : public ::testing::Test {
  protected:
    FrontEndTest() { qttest::application(); }

    void SetUp() override {
        // Keep the pointer off the window, so nothing slides out by chance.
        QCursor::setPos(QPoint(1270, 1010));
        app.setTitle("Zorvex Video Browser");
        app.setPrincipal(&gallery);
        // Messages are recorded, never shown: no test waits for a modal box.
        app.dialogs().setPresenter([this](const ui::DialogRecord& record) {
            presented.push_back(record);
            return record.buttons.empty() ? std::string() : record.buttons.front();
        });
        front =
            std::make_unique<qtfront::FrontEnd>(app, qtfront::Skins::load(qttest::skinFolder()));
        gallery.show();
        front->sync();
        window = front->windowOf(gallery);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    template <class T> T* widget(const ui::Control& control) const {
        return qobject_cast<T*>(front->widgetOf(control));
    }

    /// Where a control's widget lies in the window.
    QRect areaOf(const ui::Control& control) const {
        QWidget* w = front->widgetOf(control);
        return {w->mapTo(window, QPoint(0, 0)), w->size()};
    }

    QImage shot() const { return window->grab().toImage(); }

    ui::Application app{ui::EventLoop::ClockKind::Real};
    qttest::GalleryForm gallery{app};
    std::vector<ui::DialogRecord> presented;
    std::unique_ptr<qtfront::FrontEnd> front;
    qtfront::FormWindow* window = nullptr;
};

TEST_F(FrontEndTest, EveryKindOfControlGetsItsWidget) {
    EXPECT_EQ(window->windowTitle(), " Zorvex - Control Gallery");
    EXPECT_EQ(window->client()->size(), QSize(900, 600));

    EXPECT_EQ(widget<qtfront::PanelWidget>(gallery.header)->caption(),
              " Zorvex - Video Browser v2.1");
    QWidget* surface = front->widgetOf(gallery.surface);
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(surface->testAttribute(Qt::WA_NativeWindow));
    EXPECT_EQ(gallery.surface.windowId(), static_cast<std::int64_t>(surface->winId()));
    EXPECT_NE(gallery.surface.windowId(), 0);

    EXPECT_EQ(widget<QPushButton>(gallery.play)->text(), "Play");
    EXPECT_EQ(widget<QPushButton>(gallery.play)->toolTip(), "Play the video");
    EXPECT_EQ(widget<QSlider>(gallery.position)->value(), 35);
    EXPECT_EQ(widget<QProgressBar>(gallery.buffer)->value(), 60);
    EXPECT_EQ(widget<QLabel>(gallery.timeLabel)->text(), "01:24 / 04:10");
    EXPECT_TRUE(widget<qtfront::BusyIndicator>(gallery.busy)->active());
    EXPECT_EQ(widget<qtfront::PictureWidget>(gallery.picture)->image().size(), QSize(128, 96));
    EXPECT_EQ(widget<QLineEdit>(gallery.search)->text(), "harbour");
    EXPECT_TRUE(
        widget<QPlainTextEdit>(gallery.log)->toPlainText().contains("Connected to the catalogue."));
    EXPECT_FALSE(widget<QRadioButton>(gallery.popular)->isChecked());
    EXPECT_TRUE(widget<QRadioButton>(gallery.recent)->isChecked());
    EXPECT_EQ(widget<QWidget>(gallery.picture)->cursor().shape(), Qt::PointingHandCursor);

    auto* pages = widget<qtfront::PageControlWidget>(gallery.pages);
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->tabBar()->count(), 2);
    EXPECT_EQ(pages->tabBar()->tabText(1), "My Web Browser");
    EXPECT_TRUE(front->widgetOf(gallery.resultsSheet)->isVisible());
    EXPECT_FALSE(front->widgetOf(gallery.webSheet)->isVisible());
    EXPECT_EQ(widget<qtfront::PageControlWidget>(gallery.sidePages)->tabBar()->shape(),
              QTabBar::RoundedSouth);

    auto* grid = widget<QTableWidget>(gallery.results);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->columnCount(), 4);
    EXPECT_EQ(grid->rowCount(), 8); // the fixed row is the header
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Title");
    EXPECT_EQ(grid->item(0, 0)->text(), "Harbour Lights at Dusk");
    EXPECT_EQ(grid->columnWidth(0), 300);

    EXPECT_NE(widget<QWebEngineView>(gallery.browser), nullptr);
    auto* tree = widget<QTreeWidget>(gallery.tree);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_EQ(tree->topLevelItem(1)->child(1)->text(0), "Sailing");
    EXPECT_NE(widget<qtfront::CaptionPanelWidget>(gallery.nowPlaying), nullptr);
    auto* side = widget<qtfront::SideChannelWidget>(gallery.side);
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(side->width(), qtfront::SideChannelWidget::kStripWidth);
    EXPECT_EQ(side->geometry().right(), front->widgetOf(gallery.rightColumn)->width() - 1);
    // Children of the side channel live on its body.
    EXPECT_EQ(front->widgetOf(gallery.sidePages)->parentWidget(), side->body());

    QMenuBar* bar = window->menuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 3);
    EXPECT_EQ(bar->actions()[0]->text(), "File");
    EXPECT_FALSE(bar->actions()[2]->isVisible()); // "Tools" is hidden in the model
    EXPECT_TRUE(front->actionOf(gallery.fullScreenItem)->isChecked());
    QMenu* popup = front->menuOf(gallery.thumbMenu);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 4);
    EXPECT_TRUE(popup->actions()[2]->isSeparator());
    EXPECT_FALSE(popup->actions()[3]->isVisible());
    EXPECT_FALSE(popup->isVisible());
}

TEST_F(FrontEndTest, TheWindowShowsTheControlsAndTheirSkins) {
    const QImage image = shot();
    const char* keep = std::getenv("ZORVEX_QT_TEST_SHOT");
    image.save(keep ? keep : "/tmp/qt-test-form.png");

    // A full window, not a blank one.
    EXPECT_GT(colourCount(image, image.rect()), 400);

    // The picture is drawn right way up: warm sky above, blue sea below.
    const QRect picture = areaOf(gallery.picture);
    const QColor sky = averageColour(image, QRect(picture.left() + 8, picture.top() + 4, 40, 12));
    const QColor sea =
        averageColour(image, QRect(picture.left() + 8, picture.bottom() - 14, 40, 12));
    EXPECT_GT(sky.red(), sky.blue() + 30) << sky.name().toStdString();
    EXPECT_GT(sea.blue(), sea.red() + 60) << sea.name().toStdString();

    // Text shows where the labels are.
    EXPECT_GT(colourCount(image, areaOf(gallery.description)), 8);
    EXPECT_GT(colourCount(image, areaOf(gallery.title)), 8);

    // The media surface is black whatever the skin.
    const QRect surface = areaOf(gallery.surface);
    EXPECT_EQ(averageColour(image, surface.adjusted(10, 10, -10, -10)), QColor(Qt::black));

    // The first skin is light, the second dark.
    const QColor light = averageColour(image, areaOf(gallery.header).adjusted(300, 4, -300, -4));
    const QColor dark =
        averageColour(image, QRect(areaOf(gallery.categories).left() + 4,
                                   areaOf(gallery.categories).bottom() - 50, 100, 30));
    EXPECT_GT(light.lightness(), 200) << light.name().toStdString();
    EXPECT_LT(dark.lightness(), 80) << dark.name().toStdString();

    // A skin group's sheet sits where the group starts; its members inherit it.
    const auto skins = qtfront::Skins::load(qttest::skinFolder());
    ASSERT_FALSE(skins.sheet(1).isEmpty());
    ASSERT_FALSE(skins.sheet(2).isEmpty());
    EXPECT_TRUE(window->styleSheet().startsWith(skins.sheet(1)));
    EXPECT_TRUE(front->widgetOf(gallery.categories)->styleSheet().startsWith(skins.sheet(2)));
    EXPECT_TRUE(front->widgetOf(gallery.tree)->styleSheet().isEmpty());
    // The model's colours are the widget's own rule.
    EXPECT_TRUE(front->widgetOf(gallery.infoArea)->styleSheet().contains("#10141C"));
}

TEST_F(FrontEndTest, SyncBringsInStepOnlyWhatChanged) {
    front->sync();
    EXPECT_TRUE(front->lastUpdated().empty());

    gallery.title.setCaption("Morning Market");
    front->sync();
    EXPECT_THAT(front->lastUpdated(), ElementsAre(&gallery.title));
    EXPECT_EQ(widget<QLabel>(gallery.title)->text(), "Morning Market");

    gallery.pages.setActiveIndex(1);
    front->sync();
    EXPECT_THAT(front->lastUpdated(),
                UnorderedElementsAre(&gallery.pages, &gallery.resultsSheet, &gallery.webSheet));
    EXPECT_TRUE(front->widgetOf(gallery.webSheet)->isVisible());
    auto* tabs = widget<qtfront::PageControlWidget>(gallery.pages)->tabBar();
    EXPECT_EQ(tabs->currentIndex(), 1);

    // A sheet's tab hidden in the model is hidden on the bar; the tabs keep their indexes.
    gallery.resultsSheet.setTabVisible(false);
    gallery.resultsSheet.setCaption("Results");
    front->sync();
    EXPECT_THAT(front->lastUpdated(), ElementsAre(&gallery.resultsSheet));
    EXPECT_FALSE(tabs->isTabVisible(0));
    EXPECT_EQ(tabs->tabText(0), "Results");
    EXPECT_TRUE(tabs->isTabVisible(1));
    gallery.resultsSheet.setTabVisible(true);
    front->sync();
    EXPECT_TRUE(tabs->isTabVisible(0));

    // An image button shows its glyph.
    gallery.stop.setGlyph(std::make_shared<ui::Picture>(qttest::duskPicture(16, 12)));
    front->sync();
    EXPECT_THAT(front->lastUpdated(), ElementsAre(&gallery.stop));
    EXPECT_FALSE(widget<QPushButton>(gallery.stop)->icon().isNull());
    EXPECT_EQ(widget<QPushButton>(gallery.stop)->iconSize(), QSize(16, 12));

    // A cell set later shows on the grid.
    gallery.pages.setActiveIndex(0);
    front->sync();
    auto* grid = widget<QTableWidget>(gallery.results);
    const QRect cell = grid->visualItemRect(grid->item(5, 0));
    const QRect onScreen(grid->viewport()->mapTo(window, cell.topLeft()), cell.size());
    const int before = colourCount(shot(), onScreen);
    gallery.results.setCell(0, 6, "Sunrise Regatta");
    front->sync();
    EXPECT_THAT(front->lastUpdated(), ElementsAre(&gallery.results));
    EXPECT_EQ(grid->item(5, 0)->text(), "Sunrise Regatta");
    EXPECT_GT(colourCount(shot(), onScreen), before + 4);
}

TEST_F(FrontEndTest, APictureIsConvertedOnlyWhenItIsAnotherOne) {
    auto* shown = widget<qtfront::PictureWidget>(gallery.picture);
    const qint64 converted = shown->image().cacheKey();
    ASSERT_FALSE(shown->image().isNull());

    // A hover step, a hint and the same picture given again change the control, not
    // its picture: the image shown stays the one converted before.
    const ui::Bounds b = gallery.picture.bounds();
    gallery.picture.setBounds(b.left - 4, b.top - 4, b.width + 8, b.height + 8);
    gallery.picture.setHint("Harbour Lights at Dusk");
    const ui::Picture same = *gallery.picture.picture();
    gallery.picture.setPicture(same);
    front->sync();
    EXPECT_THAT(front->lastUpdated(), ElementsAre(&gallery.picture));
    EXPECT_EQ(shown->image().cacheKey(), converted);
    QTRY_COMPARE(shown->geometry().size(), QSize(b.width + 8, b.height + 8));
    EXPECT_EQ(shown->image().cacheKey(), converted);

    // Another picture is converted, and cleared it shows nothing.
    gallery.picture.setPicture(qttest::duskPicture(64, 48));
    front->sync();
    EXPECT_NE(shown->image().cacheKey(), converted);
    EXPECT_EQ(shown->image().size(), QSize(64, 48));
    gallery.picture.clearPicture();
    front->sync();
    EXPECT_TRUE(shown->image().isNull());

    // So is an image button's glyph: a caption change keeps the icon's image.
    gallery.stop.setGlyph(std::make_shared<ui::Picture>(qttest::duskPicture(16, 12)));
    front->sync();
    auto* stop = widget<QPushButton>(gallery.stop);
    const qint64 icon = stop->icon().cacheKey();
    gallery.stop.setCaption("Stop");
    front->sync();
    EXPECT_EQ(stop->text(), "Stop");
    EXPECT_EQ(stop->icon().cacheKey(), icon);
}

TEST_F(FrontEndTest, TheModelsHooksTellTheFrontEndAndOtherListenersAlike) {
    std::vector<std::string> heard;
    auto popups = gallery.thumbMenu.popupRequested.subscribe([&](ui::Menu& menu, int x, int y) {
        heard.push_back(menu.name() + ":" + std::to_string(x) + "," + std::to_string(y));
    });
    auto moves = gallery.systemMoveRequested.subscribe([&] { heard.push_back("move"); });

    app.dispatch([&] { gallery.thumbMenu.popup(300, 300); });
    QMenu* popup = front->menuOf(gallery.thumbMenu);
    QTRY_VERIFY(popup->isVisible());
    popup->close();
    app.dispatch([&] { gallery.startSystemMove(); });
    EXPECT_THAT(heard, ElementsAre("thumbMenu:300,300", "move"));

    // Without the front end the other listeners still hear the model.
    front.reset();
    app.dispatch([&] { gallery.thumbMenu.popup(10, 20); });
    EXPECT_THAT(heard, ElementsAre("thumbMenu:300,300", "move", "thumbMenu:10,20"));
    EXPECT_EQ(gallery.thumbMenu.popupRequested.size(), 1u);
    EXPECT_EQ(gallery.systemMoveRequested.size(), 1u);
    EXPECT_EQ(app.controlRemoved.size(), 0u);
}

TEST_F(FrontEndTest, ControlsAndFormsComeAndGoWithTheModel) {
    auto& late = gallery.infoArea.add<ui::Label>("late");
    late.setBounds(150, 90, 100, 16);
    late.setCaption("Just added");
    front->sync();
    auto* label = widget<QLabel>(late);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), front->widgetOf(gallery.infoArea));
    EXPECT_EQ(label->text(), "Just added");
    EXPECT_TRUE(label->isVisible());

    // Stacking follows the children's order.
    gallery.picture.bringToFront();
    front->sync();
    const auto siblings = front->widgetOf(gallery.infoArea)->children();
    EXPECT_EQ(siblings.last(), front->widgetOf(gallery.picture));

    auto extra = std::make_unique<ui::Form>(app, "extra");
    extra->setBounds(200, 200, 300, 120);
    extra->setCaption("Bookmark");
    extra->add<ui::Button>("ok").setBounds(10, 10, 80, 24);
    extra->show();
    front->sync();
    QPointer<qtfront::FormWindow> extraWindow = front->windowOf(*extra);
    QPointer<QWidget> okButton = front->widgetOf(*extra->find("ok"));
    ASSERT_FALSE(extraWindow.isNull());
    EXPECT_TRUE(extraWindow->isVisible());
    EXPECT_EQ(extraWindow->windowTitle(), "Bookmark");

    extra->hide();
    front->sync();
    EXPECT_FALSE(extraWindow->isVisible());

    extra.reset();
    front->sync();
    QTRY_VERIFY(extraWindow.isNull());
    EXPECT_TRUE(okButton.isNull());
    EXPECT_EQ(front->windowOf(gallery), window);
}

TEST_F(FrontEndTest, AStayOnTopFormIsASmallDialogAboveTheOthers) {
    ui::Form box(app, "box");
    box.setBounds(300, 300, 307, 119);
    box.setCaption("Bookmarks");
    box.add<ui::Button>("ok").setBounds(32, 85, 75, 25);
    box.setStayOnTop(true);
    box.show();
    gallery.setEnabled(false);
    front->sync();
    qtfront::FormWindow* w = front->windowOf(box);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window->isEnabled()); // the window the dialog holds
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    box.setStayOnTop(false);
    gallery.setEnabled(true);
    front->sync();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(FrontEndTest, ClicksAndTypingReachTheHandlers) {
    QTest::mouseClick(front->widgetOf(gallery.go), Qt::LeftButton);
    EXPECT_THAT(gallery.events, ElementsAre("go:Click"));

    gallery.search.setText("");
    front->sync();
    gallery.events.clear();
    auto* edit = widget<QLineEdit>(gallery.search);
    QTest::keyClicks(edit, "ab");
    EXPECT_THAT(gallery.events, ElementsAre("search:KeyPress:a", "search:Change:a",
                                            "search:KeyPress:b", "search:Change:ab"));
    EXPECT_EQ(gallery.search.text(), "ab");

    // Leaving the edit is its Exit.
    gallery.events.clear();
    edit->setFocus(Qt::OtherFocusReason);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
    EXPECT_THAT(gallery.events, ElementsAre("search:Exit"));

    // A press on the picture reports the button and the control's own coordinates.
    gallery.events.clear();
    QTest::mouseClick(front->widgetOf(gallery.picture), Qt::LeftButton, {}, QPoint(12, 20));
    EXPECT_THAT(gallery.events, ElementsAre("picture:MouseDown:0:12,20", "picture:Click"));
}

TEST_F(FrontEndTest, KeyPressHandlersMaySwallowOrReplaceTheKey) {
    gallery.search.setText("");
    gallery.search.onKeyPress = [](std::string& key) {
        if (key == "x")
            key.clear();
        else if (key == "a")
            key = "A";
    };
    front->sync();
    QTest::keyClicks(widget<QLineEdit>(gallery.search), "xab");
    EXPECT_EQ(widget<QLineEdit>(gallery.search)->text(), "Ab");
    EXPECT_EQ(gallery.search.text(), "Ab");
}

TEST_F(FrontEndTest, ChoicesReachTheModelBeforeTheirEvents) {
    QTest::mouseClick(front->widgetOf(gallery.popular), Qt::LeftButton);
    EXPECT_TRUE(gallery.popular.checked());
    EXPECT_FALSE(gallery.recent.checked());
    EXPECT_TRUE(widget<QRadioButton>(gallery.popular)->isChecked());
    EXPECT_FALSE(widget<QRadioButton>(gallery.recent)->isChecked());
    // Clicking the checked one again leaves it checked, as the model says.
    QTest::mouseClick(front->widgetOf(gallery.popular), Qt::LeftButton);
    EXPECT_TRUE(widget<QRadioButton>(gallery.popular)->isChecked());

    QTest::keyClick(front->widgetOf(gallery.position), Qt::Key_Right);
    EXPECT_EQ(gallery.position.position(), 36);

    auto* tabs = widget<qtfront::PageControlWidget>(gallery.pages)->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(gallery.pages.activeIndex(), 1);
    EXPECT_TRUE(front->widgetOf(gallery.webSheet)->isVisible());
    EXPECT_FALSE(front->widgetOf(gallery.resultsSheet)->isVisible());

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    auto* grid = widget<QTableWidget>(gallery.results);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(2, 1)).center());
    EXPECT_EQ(gallery.results.selectedCol(), 1);
    EXPECT_EQ(gallery.results.selectedRow(), 3);

    auto* tree = widget<QTreeWidget>(gallery.tree);
    const QRect sport = tree->visualItemRect(tree->topLevelItem(1));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, sport.center());
    EXPECT_EQ(gallery.tree.selected(), 3);

    EXPECT_THAT(gallery.events, ElementsAre("popular:Click", "popular:Click", "position:Change:36",
                                            "pages:TabActive:1", "pages:TabActive:0",
                                            "results:SelectCell:1,3", "tree:DblClick:3"));
}

TEST_F(FrontEndTest, MenusReachTheirItems) {
    front->actionOf(gallery.aboutItem)->trigger();

    // The model asks for its popup menu.
    app.dispatch([&] { gallery.thumbMenu.popup(300, 300); });
    QMenu* popup = front->menuOf(gallery.thumbMenu);
    QTRY_VERIFY(popup->isVisible());
    front->actionOf(gallery.playItem)->trigger();
    popup->close();
    QTRY_VERIFY(!popup->isVisible());

    // A right click on a control with a popup menu pops it up through the model.
    QWidget* picture = front->widgetOf(gallery.picture);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(20, 20),
                                picture->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(picture, &menuEvent);
    EXPECT_EQ(gallery.thumbMenu.popupCount(), 2);
    QTRY_VERIFY(popup->isVisible());
    popup->close();

    // An item hidden or disabled in the model is hidden or disabled on screen.
    gallery.playItem.setEnabled(false);
    front->sync();
    EXPECT_FALSE(front->actionOf(gallery.playItem)->isEnabled());

    EXPECT_THAT(gallery.events, ElementsAre("aboutItem:Click", "playItem:Click"));
}

TEST_F(FrontEndTest, TheApplicationsPressHookSeesPressesFirst) {
    // The hook takes right presses and answers them with its own menu.
    std::vector<std::string> hooked;
    app.mousePressHook = [&](ui::Control& target, ui::Event event, const ui::EventArgs& args) {
        hooked.push_back(target.name() + ":" + std::string(ui::eventName(event)));
        if (args.button != ui::MouseButton::Right)
            return false;
        gallery.thumbMenu.popup(10, 10);
        return true;
    };
    QWidget* picture = front->widgetOf(gallery.picture);
    QTest::mousePress(picture, Qt::RightButton, {}, QPoint(20, 20));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(20, 20),
                                picture->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(picture, &menuEvent);
    QTest::mouseRelease(picture, Qt::RightButton, {}, QPoint(20, 20));
    // The control saw nothing of the press, and its own menu did not open on top.
    EXPECT_THAT(gallery.events,
                ::testing::Not(Contains(::testing::StartsWith("picture:MouseDown"))));
    EXPECT_EQ(gallery.thumbMenu.popupCount(), 1);
    front->menuOf(gallery.thumbMenu)->close();

    // Left presses pass on to the control.
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_THAT(gallery.events, Contains("picture:MouseDown:0:5,6"));
    EXPECT_THAT(hooked, ElementsAre("picture:MouseDown", "picture:MouseDown"));
}

TEST_F(FrontEndTest, FormsHearTheMouseComeInAndActivateThem) {
    std::vector<std::pair<int, int>> entered;
    int activations = 0;
    gallery.onMouseEnterAt = [&](int x, int y) { entered.emplace_back(x, y); };
    gallery.onMouseActivate = [&] { ++activations; };

    QCursor::setPos(QPoint(333, 222));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(window->client(), &enter);
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered[0], std::make_pair(QCursor::pos().x(), QCursor::pos().y()));
    QCursor::setPos(QPoint(1270, 1010));

    // A press in the window while another one is active activates it first.
    QWidget other;
    other.setGeometry(1000, 900, 100, 60);
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    QTest::mouseClick(front->widgetOf(gallery.title), Qt::LeftButton);
    EXPECT_EQ(activations, 1);
}

TEST_F(FrontEndTest, HandlerErrorsBecomeTheStandardErrorMessage) {
    gallery.go.onClick = [] { throw std::runtime_error("Lost connection to the catalogue"); };
    QTest::mouseClick(front->widgetOf(gallery.go), Qt::LeftButton);
    ASSERT_FALSE(app.dialogs().log().empty());
    EXPECT_EQ(app.dialogs().log().back().type, ui::DialogRecord::Type::Error);
    EXPECT_EQ(app.dialogs().log().back().text, "Lost connection to the catalogue");
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0].title, "Zorvex Video Browser");

    // The program goes on.
    QTest::mouseClick(front->widgetOf(gallery.play), Qt::LeftButton);
    EXPECT_THAT(gallery.events, Contains("play:Click"));
}

TEST_F(FrontEndTest, ClosingTheWindowClosesTheFormThroughTheModel) {
    QSignalSpy ended(front.get(), &qtfront::FrontEnd::terminated);
    window->close();
    EXPECT_THAT(gallery.events, ElementsAre("gallery:Close"));
    EXPECT_FALSE(gallery.visible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(app.terminated());
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(FrontEndTest, SideChannelSlidesWithTheModel) {
    auto* side = widget<qtfront::SideChannelWidget>(gallery.side);
    const int parentWidth = front->widgetOf(gallery.rightColumn)->width();

    // The pointer reaching the strip asks the model to pop the bar out.
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), side->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(side, &enter);
    EXPECT_TRUE(gallery.side.popped());
    EXPECT_THAT(gallery.events, Contains("side:Pop"));
    QTRY_COMPARE(side->width(), 200);
    EXPECT_EQ(side->x(), parentWidth - 200);
    EXPECT_TRUE(side->body()->isVisible());

    app.dispatch([&] { gallery.side.push(); });
    front->sync();
    QTRY_COMPARE(side->width(), qtfront::SideChannelWidget::kStripWidth);
    EXPECT_EQ(side->x(), parentWidth - qtfront::SideChannelWidget::kStripWidth);
    QTRY_VERIFY(!side->body()->isVisible());

    // Out again, the bar slides back in by itself once the pointer has left it.
    QApplication::sendEvent(side, &enter);
    QTRY_COMPARE(side->width(), 200);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(side, &leave);
    QTRY_VERIFY(!gallery.side.popped());
    QTRY_COMPARE(side->width(), qtfront::SideChannelWidget::kStripWidth);
}

TEST_F(FrontEndTest, WebViewLoadsWhatTheModelNavigatesTo) {
    auto* view = widget<QWebEngineView>(gallery.browser);
    const std::string page = "data:text/plain,second";
    gallery.browser.navigate(page);
    front->sync();
    QTRY_COMPARE(view->url(), QUrl(QString::fromStdString(page)));
    // The load's end comes back to the model.
    QTRY_VERIFY(!gallery.browser.busy());
    EXPECT_EQ(gallery.browser.url(), page);
    EXPECT_EQ(gallery.browser.history().size(), 2u);

    // A page the user reaches inside the view becomes the model's address.
    const std::string third = "data:text/plain,third";
    view->page()->runJavaScript(
        QString("window.location.href = '%1';").arg(QString::fromStdString(third)));
    QTRY_COMPARE(gallery.browser.url(), third);
    EXPECT_EQ(gallery.browser.history().size(), 3u);
    QTRY_VERIFY(!gallery.browser.busy());

    // Going back is the model's history; the view follows it.
    gallery.browser.back();
    front->sync();
    QTRY_COMPARE(view->url(), QUrl(QString::fromStdString(page)));
    QTRY_VERIFY(!gallery.browser.busy());
    EXPECT_EQ(gallery.browser.history().size(), 3u);

    // The model's focus request puts the keyboard in the page.
    window->activateWindow();
    QTRY_VERIFY(window->isActiveWindow());
    gallery.browser.setFocus();
    front->sync();
    QTRY_VERIFY(view->hasFocus() || view->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(FrontEndTest, MissingSkinFilesLeaveThePlainLook) {
    const auto none = qtfront::Skins::load("/nonexistent/zorvex-skins");
    EXPECT_TRUE(none.sheet(1).isEmpty());
    EXPECT_TRUE(none.sheet(2).isEmpty());

    ui::Application plainApp{ui::EventLoop::ClockKind::Real};
    qttest::GalleryForm plain{plainApp};
    qtfront::FrontEnd plainFront(plainApp, none);
    plain.show();
    plainFront.sync();
    qtfront::FormWindow* plainWindow = plainFront.windowOf(plain);
    ASSERT_NE(plainWindow, nullptr);
    EXPECT_TRUE(plainWindow->isVisible());
    EXPECT_FALSE(plainWindow->styleSheet().contains("QPushButton"));
    EXPECT_EQ(qobject_cast<QPushButton*>(plainFront.widgetOf(plain.go))->text(), "Search");
}

} // namespace
