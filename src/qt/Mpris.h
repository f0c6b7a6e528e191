#pragma once
// The desktop's media controls and media keys (MPRIS 2 on the session bus): the
// window registers org.mpris.MediaPlayer2.zorvex with the object
// /org/mpris/MediaPlayer2. Its commands run the handlers the user's clicks run
// (the transport bar's Play, Pause and Stop, the main window's close), through the
// front end; its PlaybackStatus and Metadata show the model's `playStatus` and
// `nowPlaying`, and change with them (PropertiesChanged) when update() finds them
// changed.
//
// Without a session bus, or with the name taken twice, nothing is registered and
// the program runs as before; nothing is printed.
//
// Thread: user-interface thread, as the front end.

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <string>

namespace ui {
class Application;
class Form;
} // namespace ui

namespace qtfront {

class FrontEnd;

class Mpris : public QObject {
    Q_OBJECT
  public:
    /// Registers on the session bus when there is one. `app` and `front` must outlive
    /// this object.
    Mpris(ui::Application& app, FrontEnd& front);
    ~Mpris() override;

    /// Whether the service is on the bus.
    bool registered() const { return !service_.isEmpty(); }
    /// The bus name taken: org.mpris.MediaPlayer2.zorvex, or with ".instancePID"
    /// after it when another Zorvex holds that name.
    const QString& service() const { return service_; }

    /// Reads `playStatus` and `nowPlaying` and tells the bus what changed. The loop
    /// driver calls it after every round.
    void update();

    // What the adaptors offer.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    void raise();
    void quit();
    void play();
    void pause();
    void playPause();
    void stop();

  private:
    /// Runs the click handler of the main window's `control` while it is enabled.
    void click(const char* control);
    std::string playStatus() const;
    ui::Form* mainForm() const;

    ui::Application& app_;
    FrontEnd& front_;
    QString service_;
    QString lastStatus_;
    QVariantMap lastMetadata_;
};

/// org.mpris.MediaPlayer2
class MprisRoot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
  public:
    explicit MprisRoot(Mpris* owner) : QDBusAbstractAdaptor(owner), owner_(owner) {}
    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return QStringLiteral("Zorvex Video Browser"); }
    QString desktopEntry() const { return QStringLiteral("zorvex"); }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }

  public slots:
    void Raise() { owner_->raise(); }
    void Quit() { owner_->quit(); }

  private:
    Mpris* owner_;
};

/// org.mpris.MediaPlayer2.Player
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
  public:
    explicit MprisPlayer(Mpris* owner) : QDBusAbstractAdaptor(owner), owner_(owner) {}
    QString playbackStatus() const { return owner_->playbackStatus(); }
    QVariantMap metadata() const { return owner_->metadata(); }
    double rate() const { return 1.0; }
    void setRate(double) {}
    // The volume stays with the transport bar's slider.
    double volume() const { return 1.0; }
    void setVolume(double) {}
    qlonglong position() const { return 0; }
    bool yes() const { return true; }
    bool no() const { return false; }

  public slots:
    void Play() { owner_->play(); }
    void Pause() { owner_->pause(); }
    void PlayPause() { owner_->playPause(); }
    void Stop() { owner_->stop(); }
    // No playlist and no seeking from outside: these do nothing, as the
    // interface allows when CanGoNext, CanGoPrevious and CanSeek are false.
    void Next() {}
    void Previous() {}
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

  signals:
    void Seeked(qlonglong position);

  private:
    Mpris* owner_;
};

} // namespace qtfront
