#include "qt/Mpris.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <unistd.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "qt/Conversions.h"
#include "qt/FormWindow.h"
#include "qt/FrontEnd.h"
#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/StateRegistry.h"

namespace qtfront {

namespace {

const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kMprisPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kMprisName = QStringLiteral("org.mpris.MediaPlayer2.zorvex");

QString itemText(const nlohmann::json& item, const char* key) {
    const auto it = item.find(key);
    return it != item.end() && it->is_string() ? toQString(it->get<std::string>()) : QString();
}

} // namespace

Mpris::Mpris(ui::Application& app, FrontEnd& front) : QObject(nullptr), app_(app), front_(front) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    new MprisRoot(this);
    new MprisPlayer(this);
    if (!bus.registerObject(kMprisPath, this, QDBusConnection::ExportAdaptors))
        return;
    // A second Zorvex on the same desktop takes a name of its own, as the
    // interface's naming rule allows.
    for (const QString& name :
         {kMprisName, kMprisName + QStringLiteral(".instance") + QString::number(::getpid())}) {
        if (bus.registerService(name)) {
            service_ = name;
            break;
        }
    }
    if (service_.isEmpty()) {
        bus.unregisterObject(kMprisPath);
        return;
    }
    lastStatus_ = playbackStatus();
    lastMetadata_ = metadata();
}

Mpris::~Mpris() {
    if (!registered())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kMprisPath);
    bus.unregisterService(service_);
}

ui::Form* Mpris::mainForm() const {
    // The main window holds the transport bar; the splash dialog is the principal
    // form, whose closing ends the program.
    return app_.findForm("mainform");
}

std::string Mpris::playStatus() const {
    const auto status = app_.state().get("playStatus");
    return status.is_string() ? status.get<std::string>() : std::string();
}

QString Mpris::playbackStatus() const {
    const std::string status = playStatus();
    if (status == "Paused")
        return QStringLiteral("Paused");
    if (status == "Playing" || status == "Seeking")
        return QStringLiteral("Playing");
    return QStringLiteral("Stopped");
}

QVariantMap Mpris::metadata() const {
    const auto item = app_.state().get("nowPlaying");
    QVariantMap map;
    const QString link = itemText(item, "mediaLink");
    if (link.isEmpty()) {
        map.insert(QStringLiteral("mpris:trackid"),
                   QVariant::fromValue(QDBusObjectPath(
                       QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
        return map;
    }
    // One track id per link played.
    const auto id = std::hash<std::string>{}(link.toStdString());
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/zorvex/track/t") +
                                                   QString::number(id, 16))));
    map.insert(QStringLiteral("xesam:title"), itemText(item, "title"));
    if (const QString site = itemText(item, "siteUrl"); !site.isEmpty())
        map.insert(QStringLiteral("xesam:url"), site);
    // The play request writes the played item's picture into the working directory.
    if (const QFileInfo art(QDir::current().filePath(QStringLiteral("temp.jpg"))); art.exists())
        map.insert(QStringLiteral("mpris:artUrl"),
                   QUrl::fromLocalFile(art.absoluteFilePath()).toString());
    return map;
}

void Mpris::update() {
    if (!registered())
        return;
    QVariantMap changed;
    if (const QString status = playbackStatus(); status != lastStatus_) {
        lastStatus_ = status;
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    if (const QVariantMap now = metadata(); now != lastMetadata_) {
        lastMetadata_ = now;
        changed.insert(QStringLiteral("Metadata"), now);
    }
    if (changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kMprisPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void Mpris::click(const char* control) {
    // As the window's keys do: the button's click handler runs while the button is
    // enabled, also when the control bar has slid out of a floating video.
    ui::Form* form = mainForm();
    ui::Control* c = form ? form->find(control) : nullptr;
    if (!c)
        return;
    front_.dispatch([c] {
        if (c->enabled() && c->onClick)
            c->onClick();
    });
    update();
}

void Mpris::play() {
    click("play");
}

void Mpris::pause() {
    // The Pause button toggles; a paused video stays paused.
    if (playStatus() != "Paused")
        click("pause");
}

void Mpris::playPause() {
    // As the Space key: pauses, or resumes what is paused.
    click(playStatus() == "Paused" ? "play" : "pause");
}

void Mpris::stop() {
    click("stop");
}

void Mpris::raise() {
    ui::Form* form = mainForm();
    if (!form || !form->visible())
        form = app_.principal();
    if (!form || !form->visible())
        return;
    if (QWidget* window = front_.windowOf(*form)) {
        window->showNormal();
        window->raise();
        window->activateWindow();
    }
}

void Mpris::quit() {
    // As the window's close box, and every dialog on the way answered as a cancel.
    app_.requestQuit();
    if (ui::Form* form = app_.principal())
        front_.dispatch([form] { form->close(); });
    if (!app_.terminated())
        app_.terminate();
}

} // namespace qtfront
