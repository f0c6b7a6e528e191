// The desktop's media controls in the real window: on a private session bus (the
// test command runs this under dbus-run-session), dbus-send and gdbus, as a
// desktop's media keys and controls do, pause and resume a demo clip that the real
// player movie plays (mpv with null outputs), and the bus hears what plays. Without a
// session bus nothing is registered, and the program runs as before.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QProcess>
#include <QVariantMap>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "MediaClips.h"
#include "PlaybackFixture.h"
#include "QtEnvironment.h"
#include "app/MainWindow.h"
#include "player/PlayerMovie.h"
#include "qt/FrontEnd.h"
#include "qt/Mpris.h"
#include "ui/Image.h"

namespace {

using namespace std::chrono_literals;

/// Collects the player's PropertiesChanged signals heard on a second connection.
class ChangeListener : public QObject {
    Q_OBJECT
  public:
    explicit ChangeListener(const QString& service)
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("listener"))) {
        bus_.connect(service, QStringLiteral("/org/mpris/MediaPlayer2"),
                     QStringLiteral("org.freedesktop.DBus.Properties"),
                     QStringLiteral("PropertiesChanged"), this,
                     SLOT(changed(QString, QVariantMap, QStringList)));
    }
    ~ChangeListener() override { QDBusConnection::disconnectFromBus(QStringLiteral("listener")); }
    QStringList statuses;

  public slots:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList&) {
        if (interface == QStringLiteral("org.mpris.MediaPlayer2.Player") &&
            properties.contains(QStringLiteral("PlaybackStatus")))
            statuses << properties.value(QStringLiteral("PlaybackStatus")).toString();
    }

  private:
    QDBusConnection bus_;
};

class MprisOnTheBus : public playertest::PlaybackFixture {
  protected:
    void SetUp() override {
        qttest::application();
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus; the test command runs this under dbus-run-session";
        PlaybackFixture::SetUp();
    }
    void TearDown() override {
        mpris.reset();
        front.reset();
        PlaybackFixture::TearDown();
    }
    void startWindow() {
        movie = std::make_unique<player::PlayerMovie>(player::PlayerMovieOptions{15s});
        start();
        front =
            std::make_unique<qtfront::FrontEnd>(*app, qtfront::Skins::load(qttest::skinFolder()));
        front->sync();
        mpris = std::make_unique<qtfront::Mpris>(*app, *front);
    }
    /// Runs a command line tool while the window's loop serves the bus; its output.
    QString tool(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        EXPECT_TRUE(p.waitForStarted(10000)) << program.toStdString();
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (p.state() != QProcess::NotRunning && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            p.waitForFinished(5);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    /// A method of the player interface, sent as a media key sends it.
    void send(const char* method) {
        tool(QStringLiteral("dbus-send"),
             {QStringLiteral("--session"), QStringLiteral("--print-reply"),
              QStringLiteral("--dest=") + mpris->service(),
              QStringLiteral("/org/mpris/MediaPlayer2"),
              QStringLiteral("org.mpris.MediaPlayer2.Player.") + QLatin1String(method)});
        waitIdle();
    }
    /// A property of the player interface, as gdbus prints it.
    std::string property(const char* name) {
        return tool(QStringLiteral("gdbus"),
                    {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                     mpris->service(), QStringLiteral("--object-path"),
                     QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("--method"),
                     QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                     QStringLiteral("org.mpris.MediaPlayer2.Player"), QLatin1String(name)})
            .trimmed()
            .toStdString();
    }
    void waitIdle() {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!app->idleProbe() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(app->idleProbe());
    }
    /// One turn of the window's loop: the status poll, then what the bus is told.
    void poll() {
        waitIdle();
        advance(1000);
        front->sync();
        mpris->update();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<qtfront::FrontEnd> front;
    std::unique_ptr<qtfront::Mpris> mpris;
};

TEST_F(MprisOnTheBus, MediaKeysPauseAndResumeAPlayingClip) {
    startWindow();
    ASSERT_TRUE(mpris->registered());
    EXPECT_EQ(mpris->service().toStdString(), "org.mpris.MediaPlayer2.zorvex");
    ChangeListener listener(mpris->service());
    EXPECT_EQ(property("PlaybackStatus"), "(<'Stopped'>,)");
    EXPECT_NE(property("Metadata").find("/org/mpris/MediaPlayer2/TrackList/NoTrack"),
              std::string::npos);

    mediatest::MediaClips clips;
    choose(flashItem(clips.clip("flv")));
    app->dispatch([&] { get<ui::Image>("featurepic1").onClick(); });
    poll();
    ASSERT_EQ(state<std::string>("playStatus"), "Playing");
    EXPECT_EQ(property("PlaybackStatus"), "(<'Playing'>,)");
    const std::string metadata = property("Metadata");
    EXPECT_NE(metadata.find("'xesam:title': <'A short title'>"), std::string::npos) << metadata;
    EXPECT_NE(metadata.find("'xesam:url': <'http://www.site.example/watch/1'>"), std::string::npos)
        << metadata;
    const std::string art = "'mpris:artUrl': <'file://" +
                            (std::filesystem::current_path() / "temp.jpg").string() + "'>";
    EXPECT_NE(metadata.find(art), std::string::npos) << metadata;

    send("Pause");
    EXPECT_EQ(state<std::string>("playStatus"), "Paused");
    EXPECT_EQ(property("PlaybackStatus"), "(<'Paused'>,)");
    send("Pause"); // paused stays paused
    EXPECT_EQ(state<std::string>("playStatus"), "Paused");
    send("PlayPause");
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    send("PlayPause");
    EXPECT_EQ(state<std::string>("playStatus"), "Paused");
    send("Play");
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    send("Stop");
    EXPECT_EQ(state<std::string>("playStatus"), "Stopped");
    EXPECT_EQ(property("PlaybackStatus"), "(<'Stopped'>,)");
    EXPECT_TRUE(errors().empty()) << errors().front();

    // Every change reached the bus, in order.
    for (int i = 0; i < 50 && listener.statuses.size() < 6; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(listener.statuses,
              (QStringList{"Playing", "Paused", "Playing", "Paused", "Playing", "Stopped"}));
}

TEST_F(MprisOnTheBus, QuitClosesTheProgramAsTheWindowsCloseBoxDoes) {
    startWindow();
    ASSERT_TRUE(mpris->registered());
    tool(QStringLiteral("dbus-send"),
         {QStringLiteral("--session"), QStringLiteral("--print-reply"),
          QStringLiteral("--dest=") + mpris->service(), QStringLiteral("/org/mpris/MediaPlayer2"),
          QStringLiteral("org.mpris.MediaPlayer2.Quit")});
    EXPECT_TRUE(app->terminated());
}

// No session bus: nothing is registered, nothing is said, and the transport still
// answers the window's own buttons.
TEST(MprisWithoutABus, IsSkippedQuietly) {
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zorvex-no-bus", 1);
    qttest::application();
    ui::Application app(ui::EventLoop::ClockKind::Virtual);
    qtfront::FrontEnd front(app, qtfront::Skins::load(qttest::skinFolder()));
    testing::internal::CaptureStderr();
    {
        qtfront::Mpris mpris(app, front);
        EXPECT_FALSE(mpris.registered());
        mpris.update();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace

#include "MprisTest.moc"
