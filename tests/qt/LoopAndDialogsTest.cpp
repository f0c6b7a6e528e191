// The Qt driver of the model's event loop, the message boxes that show the
// application's dialogs, and the windowed entry with its screenshot.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

#include "GalleryForm.h"
#include "QtEnvironment.h"
#include "qt/DialogPresenter.h"
#include "qt/FrontEnd.h"
#include "qt/LoopDriver.h"
#include "qt/Run.h"
#include "qt/Screenshot.h"
#include "support/TempDir.h"
#include "ui/Application.h"

namespace {

struct QtFixture : ::testing::Test {
    QtFixture() { qttest::application(); }
    ui::Application app{ui::EventLoop::ClockKind::Real};
};

/// Answers the next message box by clicking the button with `caption`, once it shows.
void clickWhenShown(const QString& caption, QString* seenText = nullptr) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, caption, seenText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (seenText)
            *seenText = box->text();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == caption) {
                poll->deleteLater();
                button->click();
                return;
            }
    });
    poll->start(20);
}

TEST_F(QtFixture, TheDriverRunsTimersAndPostedWorkThenSyncs) {
    ui::Form form(app, "form");
    auto& label = form.add<ui::Label>("status");
    label.setBounds(0, 0, 200, 20);
    auto& timer = form.add<ui::Timer>("poll", 10, true);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    form.show();

    qtfront::FrontEnd front(app, {});
    qtfront::LoopDriver driver(app, [&front] { front.sync(); });
    QTRY_VERIFY(ticks >= 3);

    // Work posted from another thread runs on this one, and the window follows it.
    const auto uiThread = std::this_thread::get_id();
    std::atomic<bool> ranHere{false};
    std::thread worker([&] {
        app.loop().post([&] {
            ranHere = std::this_thread::get_id() == uiThread;
            label.setCaption("Buffering..");
        });
    });
    worker.join();
    QTRY_COMPARE(qobject_cast<QLabel*>(front.widgetOf(label))->text(), QString("Buffering.."));
    EXPECT_TRUE(ranHere);

    // Errors of posted work reach the standard error message.
    app.loop().post([] { throw std::runtime_error("Player error"); });
    QTRY_VERIFY(!app.dialogs().log().empty());
    EXPECT_EQ(app.dialogs().log().back().text, "Player error");
}

TEST_F(QtFixture, MessageBoxesAnswerWithTheCaptionClicked) {
    ui::Form form(app, "form");
    qtfront::DialogPresenter presenter(app, [] { return nullptr; });

    QString seen;
    clickWhenShown("Work Offline", &seen);
    // Message texts are shown as they are, never as markup.
    const std::string question = "Catalogue <b>unreachable</b>. Work online anyway?";
    EXPECT_EQ(app.dialogs().ask(question, {"Work Online", "Work Offline"}), "Work Offline");
    EXPECT_EQ(seen, QString::fromStdString(question));

    clickWhenShown("OK");
    app.dialogs().showError("Unknown database 'data'");
    ASSERT_EQ(app.dialogs().log().size(), 2u);
    EXPECT_EQ(app.dialogs().log()[1].type, ui::DialogRecord::Type::Error);

    // An answer queued in advance is taken without showing anything.
    app.dialogs().queueAnswer("Work Online");
    EXPECT_EQ(app.dialogs().ask("Again?", {"Work Online", "Work Offline"}), "Work Online");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtFixture, AMessageBoxInsideAHandlerHoldsTheLoopsWorkUntilTheHandlerIsDone) {
    ui::Form form(app, "form");
    auto& timer = form.add<ui::Timer>("poll", 10, true);
    bool inHandler = false;
    int ranInside = 0;
    int ticks = 0;
    bool postedRan = false;
    timer.onTimer = [&] {
        ++ticks;
        ranInside += inHandler ? 1 : 0;
    };
    qtfront::DialogPresenter presenter(app, [] { return nullptr; });
    qtfront::LoopDriver driver(app, {});

    // While the box is up: work arrives from another thread, the timer comes due
    // several times over, and the box's loop runs many rounds. Then OK is clicked.
    int rounds = 0;
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (rounds++ == 0) {
            std::thread worker([&] {
                app.loop().post([&] {
                    postedRan = true;
                    ranInside += inHandler ? 1 : 0;
                });
            });
            worker.join();
        }
        if (rounds < 6)
            return;
        poll->deleteLater();
        box->buttons().front()->click();
    });
    poll->start(20);

    app.dispatch([&] {
        inHandler = true;
        app.dialogs().showInfo("The catalogue is busy.");
        inHandler = false;
    });
    EXPECT_EQ(rounds, 6);
    EXPECT_EQ(ranInside, 0);
    // Once the handler is done, the driver is woken and runs what waited.
    QTRY_VERIFY(postedRan);
    QTRY_VERIFY(ticks > 0);
    EXPECT_EQ(ranInside, 0);
}

TEST(DialogPresenterFilter, DesignedFiltersBecomeQtFilters) {
    EXPECT_EQ(qtfront::DialogPresenter::toQtFilter("Media files|*.wmv;*.asf|All files|*.*"),
              "Media files (*.wmv *.asf);;All files (*.*)");
    EXPECT_EQ(qtfront::DialogPresenter::toQtFilter("Videos (*.flv)"), "Videos (*.flv)");
}

TEST_F(QtFixture, RunShowsTheFormsAndSavesTheScreenshot) {
    testsupport::TempDir dir("zorvex-qt");
    qttest::GalleryForm gallery(app);
    app.setPrincipal(&gallery);
    qtfront::RunOptions options;
    options.screenshot = dir.file("window.png");
    options.screenshotDelayMs = 300;
    options.skinFolder = qttest::skinFolder();
    bool started = false;
    std::string answer = "none";
    // A question still open when the screenshot is taken does not hold the run up.
    EXPECT_EQ(
        qtfront::run(
            app, options,
            [&] {
                started = true;
                gallery.show();
                app.loop().post([&] {
                    answer = app.dialogs().ask("Work online?", {"Work Online", "Work Offline"});
                });
            }),
        0);
    EXPECT_TRUE(started);
    EXPECT_NE(answer, "none");
    QImage saved(QString::fromStdString(options.screenshot));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.width(), 900);
    EXPECT_GE(saved.height(), 600); // the client area and the menu bar

    // Nothing to save into: the run says so.
    options.screenshot = dir.file("missing/window.png");
    EXPECT_EQ(qtfront::run(app, options), 1);
}

TEST_F(QtFixture, RunEndsWhenTheApplicationTerminates) {
    ui::Form form(app, "form");
    app.setPrincipal(&form);
    auto& closer = form.add<ui::Timer>("closer", 20, true);
    closer.onTimer = [&] { form.close(); };
    qtfront::RunOptions options;
    EXPECT_EQ(qtfront::run(app, options, [&] { form.show(); }), 0);
    EXPECT_TRUE(app.terminated());
}

TEST_F(QtFixture, ScreenshotFailsForAnUnwritablePath) {
    QWidget plain;
    plain.resize(40, 30);
    EXPECT_FALSE(qtfront::saveScreenshot(plain, "/nonexistent-dir/shot.png"));
}

} // namespace
