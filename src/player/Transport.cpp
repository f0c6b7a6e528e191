#include "player/Transport.h"

#include "player/Movie.h"
#include "player/MovieRequest.h"
#include "player/PlaybackState.h"
#include "player/PollReplies.h"
#include "player/WorkerRoute.h"
#include "ui/Form.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

namespace player {

Transport::Transport(ui::Form& form, Movie& movie, PlaybackState& state, WorkerRoute& worker)
    : form_(form), movie_(movie), state_(state), worker_(worker),
      threadtimer_(form.get<ui::Timer>("threadtimer")), label19_(form.get<ui::Label>("Label19")),
      titlestatus_(form.get<ui::Label>("titlestatus")) {
    // threadtimerTimer
    threadtimer_.onTimer = [this] { poll(); };
    // playClick, pauseClick, stopClick
    form_.get<ui::Button>("play").onClick = [this] { playPressed(); };
    form_.get<ui::Button>("pause").onClick = [this] { pausePressed(); };
    form_.get<ui::Button>("stop").onClick = [this] { stopPressed(); };
    auto& position = form_.get<ui::TrackBar>("mpposibar");
    // mpposibarMouseDown: the slider stands still for the user while it is held.
    position.onMouseDown = [this](ui::MouseButton, int, int) { threadtimer_.setEnabled(false); };
    // mpposibarMouseUp
    position.onMouseUp = [this](ui::MouseButton, int, int) { seekReleased(); };
    // previewvolumeChange
    form_.get<ui::TrackBar>("previewvolume").onChange = [this] { volumeChanged(); };
    // Animate1Start, Animate1Stop
    auto& busy = form_.get<ui::Animation>("Animate1");
    auto enableButtons = [this](bool on) {
        for (const char* name : {"play", "pause", "stop"})
            form_.get<ui::Button>(name).setEnabled(on);
    };
    busy.onStart = [enableButtons] { enableButtons(false); };
    busy.onStop = [enableButtons] { enableButtons(true); };
}

bool Transport::movieRoute() const {
    return state_.playMode == PlayMode::Movie;
}

void Transport::showStatus() {
    label19_.setCaption(state_.playStatus);
    titlestatus_.setCaption(state_.playStatus);
}

void Transport::poll() {
    // A paused playback stands still: nothing is asked, nothing moves.
    if (state_.playStatus == "Paused")
        return;
    if (movieRoute())
        pollMovie();
    else
        worker_.post(WorkerCommand::Poll);
}

void Transport::pollMovie() {
    // Only the status request may fail without ending the poll.
    std::string reply;
    try {
        reply = movie_.callFunction(invokeText("statusVideo", "status"));
    } catch (const std::exception&) {
        reply.clear();
    }
    if (auto status = statusForWord(stateWordOf(reply)))
        state_.playStatus = std::move(*status);
    showStatus();

    const int played =
        toInteger(secondsTextOf(movie_.callFunction(invokeText("playedVideo", "played"))))
            .value_or(0);
    const std::string total =
        secondsTextOf(movie_.callFunction(invokeText("maxTimeVideo", "maxTime")));
    if (const auto seconds = toInteger(total))
        state_.flashMaxTime = *seconds;
    if (total != "null") {
        const std::string percent = percentText(played, state_.flashMaxTime);
        form_.get<ui::Label>("minleft").setCaption(percent + "%");
        if (const auto value = toInteger(percent))
            form_.get<ui::TrackBar>("mpposibar").setPosition(*value);
    }
    form_.get<ui::Label>("secleft").setCaption(elapsedText(played));
}

void Transport::playPressed() {
    if (label19_.caption() == "Playing")
        return;
    if (!movieRoute()) {
        if (worker_.hasWorker()) {
            form_.get<ui::Animation>("Animate1").setActive(true);
            worker_.post(WorkerCommand::Play);
        }
        return;
    }
    movie_.callFunction(invokeText("pauseVideo", "Resume"));
    state_.playStatus = "Playing";
    showStatus();
}

void Transport::pausePressed() {
    if (!movieRoute()) {
        worker_.post(WorkerCommand::PauseToggle);
        worker_.wake();
        return;
    }
    movie_.callFunction(invokeText("pauseVideo", "Pause"));
    state_.playStatus = state_.playStatus == "Paused" ? "Playing" : "Paused";
    showStatus();
}

void Transport::stopPressed() {
    form_.get<ui::Button>("floatvideobutton").setEnabled(false);
    form_.get<ui::Button>("suiImageButton26").setEnabled(false);
    if (!movieRoute()) {
        if (worker_.hasWorker()) {
            form_.get<ui::Animation>("Animate1").setActive(true);
            worker_.post(WorkerCommand::Stop);
            worker_.wake();
        }
        return;
    }
    movie_.callFunction(invokeText("stopVideo", "Stop"));
    threadtimer_.setEnabled(false);
    state_.playStatus = "Stopped";
    showStatus();
    auto& idle = form_.get<ui::Panel>("Panel2");
    idle.bringToFront();
    idle.show();
}

void Transport::seekReleased() {
    if (!movieRoute()) {
        worker_.post(WorkerCommand::Seek);
        return;
    }
    state_.playStatus = "Seeking";
    showStatus();
    const int position = form_.get<ui::TrackBar>("mpposibar").position();
    movie_.callFunction(invokeText("timeVideo", seekText(position, state_.flashMaxTime)));
    threadtimer_.setEnabled(true);
}

void Transport::volumeChanged() {
    if (!movieRoute()) {
        worker_.post(WorkerCommand::Volume);
        return;
    }
    const int position = form_.get<ui::TrackBar>("previewvolume").position();
    movie_.callFunction(invokeText("volumeVideo", volumeText(position)));
}

} // namespace player
