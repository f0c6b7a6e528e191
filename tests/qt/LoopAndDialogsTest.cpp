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

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "GalleryForm.h"
#include "QtEnvironment.h"
#include "automation/Channel.h"
#include "automation/UnixSocketTransport.h"
#include "platform/UniqueFd.h"
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

TEST_F(QtFixture, AQuitRequestClosesAnOpenMessageBoxAsACancelAndEndsTheProgram) {
    testsupport::TempDir dir("zorvex-qt");
    const std::string path = dir.file("automation.sock");
    ui::Form form(app, "form");
    form.setBounds(0, 0, 300, 200);
    app.setPrincipal(&form);
    bool closed = false;
    std::string closingAnswer = "none";
    form.onClose = [&] {
        closed = true;
        // A dialog shown on the way out is answered as a cancel, without showing.
        closingAnswer = app.dialogs().ask("Save first?", {"Save", "Discard"});
    };
    automation::Channel channel(app);
    automation::UnixSocketTransport transport(channel, path);

    platform::UniqueFd client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    ASSERT_EQ(::connect(client.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address),
              0);

    // Once the box is up, a client asks the program to quit.
    int boxesShown = 0;
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->property("seen").toBool())
            return;
        box->setProperty("seen", true);
        if (++boxesShown == 1) {
            const std::string quit = R"({"id": 7, "command": ["quit"]})"
                                     "\n";
            ASSERT_EQ(::send(client.get(), quit.data(), quit.size(), MSG_NOSIGNAL),
                      static_cast<ssize_t>(quit.size()));
        }
    });
    poll->start(20);
    // Only a guard against hanging, should the box never let go.
    bool gaveUp = false;
    QTimer::singleShot(120000, [&] {
        gaveUp = true;
        app.dialogs().setPresenter({});
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->isModal())
                top->close();
        app.loop().post([&] { app.terminate(); });
    });

    std::vector<std::string> answers;
    qtfront::RunOptions options;
    options.skinFolder = qttest::skinFolder();
    EXPECT_EQ(qtfront::run(app, options,
                           [&] {
                               form.show();
                               // A handler asks, and asks again after the answer.
                               app.loop().post([&] {
                                   answers.push_back(app.dialogs().ask(
                                       "Work online?", {"Work Online", "Work Offline"}));
                                   answers.push_back(app.dialogs().ask(
                                       "Really?", {"Work Online", "Work Offline"}));
                               });
                           }),
              0);
    delete poll;
    EXPECT_FALSE(gaveUp);
    EXPECT_TRUE(app.terminated());
    EXPECT_TRUE(closed);
    // The open box was closed as its close box would; the next one was never shown.
    EXPECT_EQ(boxesShown, 1);
    EXPECT_EQ(answers, (std::vector<std::string>{"Work Offline", "Work Offline"}));
    EXPECT_EQ(closingAnswer, "Discard");

    std::string reply;
    char c = 0;
    while (::read(client.get(), &c, 1) == 1 && c != '\n')
        reply += c;
    EXPECT_EQ(reply, R"({"id":7,"error":"success","data":null})");
}

TEST_F(QtFixture, ScreenshotFailsForAnUnwritablePath) {
    QWidget plain;
    plain.resize(40, 30);
    EXPECT_FALSE(qtfront::saveScreenshot(plain, "/nonexistent-dir/shot.png"));
}

} // namespace
