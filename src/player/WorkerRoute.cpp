#include "player/WorkerRoute.h"

#include <nlohmann/json.hpp>

#include "player/PlaybackState.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/StateRegistry.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

namespace player {

WorkerRoute::WorkerRoute(ui::Form& form, PlaybackState& state,
                         MediaWorker::PlayerFactory makePlayer, std::string aolMarker)
    : form_(form), state_(state), makePlayer_(std::move(makePlayer)),
      aolMarker_(std::move(aolMarker)), self_(std::make_shared<WorkerRoute*>(this)) {
    // playmediathreadClick
    form_.get<ui::Button>("playmediathread").onClick = [this] { createThread(); };
    // killmpClick, clicked by "Close Video"
    form_.get<ui::Button>("killmp").onClick = [this] { post(WorkerCommand::CloseRelease, false); };
    // CloseVideo1Click
    form_.get<ui::MenuItem>("CloseVideo1").onClick = [this] { closeVideo(); };
    // button5Click ("Float Video")
    form_.get<ui::Button>("button5").onClick = [this] { attach(); };
    // Timer4Timer
    form_.get<ui::Timer>("Timer4").onTimer = [this] { wakeOrSleep(); };

    auto& r = form_.app().state();
    r.add("workerStatus", [this] { return workerStatus_; });
    r.add("workerRunState", [this] { return workerRunState_; });
    r.add("workerCommandPending", [this] { return commandPending_; });
    r.add("workerCommand", [this] { return worker_ ? static_cast<int>(worker_->pending()) : 0; });
    r.add("openFailed", [this] { return openFailed_; });
    r.add("workerMediaReady", [this] { return mediaReady_; });
    r.add("lastMciMessage", [this] { return lastMciMessage_; });
    r.add("mediaWorkerStarted", [this] { return started_; });
    r.add("mediaWorker", [this] { return worker_ != nullptr; });
    r.add("workerSuspended", [this] { return worker_ && worker_->suspended(); });
}

WorkerRoute::~WorkerRoute() {
    endWorker();
}

WorkerInputs WorkerRoute::inputs() const {
    WorkerInputs in;
    in.volume = form_.get<ui::TrackBar>("previewvolume").position();
    in.barPosition = form_.get<ui::TrackBar>("mpposibar").position();
    const auto& panel = form_.get<ui::Panel>("Panel4");
    in.panelWidth = panel.width();
    in.panelHeight = panel.height();
    in.playMode = static_cast<int>(state_.playMode);
    if (const auto* surface = videoSurface())
        in.panelWindow = static_cast<platform::NativeWindow>(surface->windowId());
    return in;
}

ui::MediaSurface* WorkerRoute::videoSurface() const {
    return dynamic_cast<ui::MediaSurface*>(form_.find("workerVideo"));
}

void WorkerRoute::showVideo(bool on) {
    auto* surface = videoSurface();
    if (!surface)
        return;
    if (on) {
        const auto& panel = form_.get<ui::Panel>("Panel4");
        surface->setBounds(0, 0, panel.width(), panel.height());
        surface->show();
        surface->bringToFront();
    } else {
        surface->hide();
    }
}

void WorkerRoute::createThread() {
    form_.get<ui::TrackBar>("previewvolume").setEnabled(false);
    // The player decides what it can play: a link it cannot open shows "Error
    // Opening" instead of leaving "Loading.." on the status line.
    auto& busy = form_.get<ui::Animation>("Animate1");
    if (busy.active())
        return;
    openFailed_ = false;
    form_.get<ui::Button>("floatvideobutton").show();
    form_.get<ui::Timer>("threadtimer").setEnabled(false);
    busy.setActive(true);
    started_ = true;
    if (!worker_) {
        std::weak_ptr<WorkerRoute*> route = self_;
        auto& loop = form_.app().loop();
        worker_ = std::make_unique<MediaWorker>(
            makePlayer_, [route, inFlight = inFlight_, &loop](WorkerUpdate u) {
                inFlight->fetch_add(1);
                loop.post([route, inFlight, u = std::move(u)] {
                    if (auto self = route.lock())
                        (*self)->apply(u);
                    inFlight->fetch_sub(1);
                });
            });
        workerRunState_.clear();
    }
    if (!aolMarker_.empty() && state_.workerLink.find(aolMarker_) != std::string::npos)
        state_.workerLink += "?MSWMExt=.wmv";
    showVideo(true);
    worker_->setLink(state_.workerLink);
    // Every play request reopens its link, changed or not.
    if (state_.newLinkPending)
        worker_->markLinkNew();
    post(WorkerCommand::Play);
}

void WorkerRoute::post(WorkerCommand command, bool pending) {
    if (!worker_)
        return;
    // The surface follows Panel4, whose size the window modes change.
    if (auto* surface = videoSurface(); surface && surface->visible()) {
        const auto& panel = form_.get<ui::Panel>("Panel4");
        surface->setBounds(0, 0, panel.width(), panel.height());
    }
    worker_->post(command, inputs());
    if (pending) {
        commandPending_ = true;
        // Timer4 would resume the worker at its next tick for this command; the
        // worker waits on its slot instead of spinning, so it is resumed at once
        // and the command does not wait up to 100 ms. A command posted without
        // `workerCommandPending` waits, in a suspended worker, for the next wake.
        worker_->resume();
    }
}

void WorkerRoute::wake() {
    // The pause and stop buttons wake the worker directly; Timer4 puts it to sleep
    // again once their command is done.
    if (worker_)
        worker_->resume();
}

void WorkerRoute::wakeOrSleep() {
    if (!worker_)
        return;
    if (commandPending_ && workerRunState_ != "Resume") {
        worker_->resume();
        workerRunState_ = "Resume";
    } else if (!commandPending_ && workerRunState_ != "Suspend") {
        form_.get<ui::Animation>("Animate1").setActive(false);
        worker_->suspend();
        workerRunState_ = "Suspend";
    } else if (workerRunState_ == "Suspend" && !worker_->suspended()) {
        worker_->suspend();
    }
}

void WorkerRoute::closeVideo() {
    if (!worker_)
        return;
    // killmpClick: close and release, without marking a command pending.
    post(WorkerCommand::CloseRelease, false);
    form_.get<ui::Label>("minleft").setCaption("0");
    form_.get<ui::Label>("secleft").setCaption("0");
    endWorker();
    showVideo(false);
    form_.get<ui::Animation>("Animate1").setActive(false);
    auto& first = form_.get<ui::MenuItem>("PlayVideo1");
    first.setEnabled(true);
    first.setCaption("Play Video ");
}

void WorkerRoute::attach() {
    form_.get<ui::Timer>("threadtimer").setEnabled(false);
    post(WorkerCommand::Attach, false);
}

void WorkerRoute::fit() {
    if (worker_ && state_.playMode == PlayMode::Worker) {
        post(WorkerCommand::Fit);
        post(WorkerCommand::Fit);
    }
}

void WorkerRoute::endWorker() noexcept {
    if (!worker_)
        return;
    worker_->end();
    worker_.reset();
    workerRunState_.clear();
}

void WorkerRoute::apply(const WorkerUpdate& u) {
    if (u.status) {
        workerStatus_ = *u.status;
        if (u.showStatus) {
            form_.get<ui::Label>("Label19").setCaption(workerStatus_);
            form_.get<ui::Label>("titlestatus").setCaption(workerStatus_);
        }
    }
    if (u.linkTaken)
        state_.newLinkPending = false;
    if (u.openFailed)
        openFailed_ = *u.openFailed;
    if (u.mediaReady)
        mediaReady_ = *u.mediaReady;
    if (u.lastMessage)
        lastMciMessage_ = *u.lastMessage;
    if (u.localItem)
        state_.localItem = *u.localItem;
    auto& first = form_.get<ui::MenuItem>("PlayVideo1");
    if (u.menuCaption)
        first.setCaption(*u.menuCaption);
    if (u.menuEnabled)
        first.setEnabled(*u.menuEnabled);
    if (u.volumeEnabled)
        form_.get<ui::TrackBar>("previewvolume").setEnabled(*u.volumeEnabled);
    if (u.busy)
        form_.get<ui::Animation>("Animate1").setActive(*u.busy);
    if (u.pollTimer)
        form_.get<ui::Timer>("threadtimer").setEnabled(*u.pollTimer);
    if (u.idleScreen) {
        auto& idle = form_.get<ui::Panel>("Panel2");
        idle.bringToFront();
        idle.show();
        form_.get<ui::Button>("floatvideobutton").setEnabled(false);
        // The video's native window would stay above the idle screen.
        showVideo(false);
    }
    if (u.hideMainWindow && hideMainWindow)
        hideMainWindow();
    auto& bar = form_.get<ui::TrackBar>("mpposibar");
    if (u.barMax)
        bar.setRange(bar.min(), *u.barMax);
    if (u.barPosition)
        bar.setPosition(*u.barPosition);
    if (u.secLeft)
        form_.get<ui::Label>("secleft").setCaption(*u.secLeft);
    if (u.minLeft)
        form_.get<ui::Label>("minleft").setCaption(*u.minLeft);
    // A command posted after the finished one keeps the flag.
    if (u.commandDone && worker_ && worker_->idle())
        commandPending_ = false;
}

} // namespace player
