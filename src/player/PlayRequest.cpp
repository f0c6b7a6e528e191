#include "player/PlayRequest.h"

#include "catalogue/Selection.h"
#include "player/LinkResolver.h"
#include "player/Movie.h"
#include "player/MovieRequest.h"
#include "player/PlaybackState.h"
#include "player/WorkerRoute.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace player {

namespace {

// Replaces every `from` in `text`, ignoring the case of its letters.
void replaceIgnoringCase(std::string& text, std::string_view from, std::string_view to) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        bool match = i + from.size() <= text.size();
        for (std::size_t k = 0; match && k < from.size(); ++k)
            match = lower(text[i + k]) == lower(from[k]);
        if (match) {
            result.append(to);
            i += from.size();
        } else {
            result.push_back(text[i++]);
        }
    }
    text = std::move(result);
}

} // namespace

bool playsInMovie(std::string_view mediaType, std::string_view feedTitle) {
    return mediaType == "application/flash" || feedTitle == "ABC USA" || mediaType == "video/flv";
}

std::string decodeGoogleVideoLink(std::string link) {
    replaceIgnoringCase(link, "%3A", ":");
    replaceIgnoringCase(link, "%2F", "/");
    replaceIgnoringCase(link, "%3F", "?");
    replaceIgnoringCase(link, "%26", "&");
    replaceIgnoringCase(link, "%2F", "/");
    replaceIgnoringCase(link, "%3D", "=");
    return link + ".flv";
}

PlayRequest::PlayRequest(ui::Form& form, catalogue::Selection& selection, Movie& movie,
                         PlaybackState& state, LinkResolver& resolver, WorkerRoute& worker)
    : form_(form), selection_(selection), movie_(movie), state_(state), resolver_(resolver),
      worker_(worker) {
    // PlayVideo1Click
    form_.get<ui::MenuItem>("PlayVideo1").onClick = [this] { run(); };
    // Play2Click
    form_.get<ui::MenuItem>("Play2").onClick = [this] { playCurrentItem(); };
    // playlocalvideosClick
    form_.get<ui::Button>("playlocalvideos").onClick = [this] { playWorkerLink(); };
}

void PlayRequest::playCurrentItem() {
    selection_.setPlayLink(selection_.currentItem().mediaLink);
    run();
}

void PlayRequest::run() {
    // A stream is still loading in the media worker.
    if (form_.get<ui::Animation>("Animate1").active())
        return;
    const catalogue::CurrentItem& item = selection_.currentItem();
    auto& visitsite = form_.get<ui::Label>("visitsite");
    if (item.feedTitle == "local") {
        state_.localItem = true;
        visitsite.hide();
    } else {
        visitsite.show();
    }

    catalogue::Item playing;
    catalogue::copyTexts(item, playing);
    playing.mediaLink = selection_.playLink();
    selection_.setNowPlaying(playing);

    showNowPlaying();
    uncoverPlayer();

    if (playsInMovie(item.mediaType, item.feedTitle)) {
        state_.playMode = PlayMode::Movie;
        playInMovie();
    } else {
        state_.playMode = PlayMode::Worker;
        handToWorker();
    }
}

void PlayRequest::showNowPlaying() {
    const catalogue::CurrentItem& item = selection_.currentItem();
    // The now-playing picture goes through "temp.jpg", which the bookmark insert
    // reads back for an item bookmarked from the player.
    const ui::PictureRef& own = item.picture;
    const ui::PictureRef& placeholder = form_.get<ui::Image>("suiDBImage1").picture();
    const ui::Picture empty;
    const ui::Picture& picture = own && !own->empty() ? *own : placeholder ? *placeholder : empty;
    picture.saveJpeg("temp.jpg");
    form_.get<ui::Image>("playImage").loadFromFile("temp.jpg");

    auto& title = form_.get<ui::Label>("nowtitledis");
    auto& line1 = form_.get<ui::Label>("nowdescdis1");
    auto& line2 = form_.get<ui::Label>("nowdescdis2");
    title.setCaption(ui::utf8::left(item.title, 40));
    line1.setCaption(ui::utf8::mid(item.description, 0, 55));
    line2.setCaption(ui::utf8::mid(item.description, 55, 55));
    form_.get<ui::Label>("visitsite")
        .setCaption("Visit Site: " + ui::utf8::left(item.siteUrl, 30) + "..");
    title.show();
    line1.show();
    line2.show();

    form_.get<ui::Button>("floatvideobutton").setEnabled(true);
    form_.get<ui::Button>("suiImageButton26").setEnabled(true);
    form_.get<ui::Button>("playAddToBookmark").setEnabled(true);
    form_.get<ui::Label>("Label19").setCaption(state_.playStatus);
    form_.get<ui::Label>("titlestatus").setCaption(state_.playStatus);
}

void PlayRequest::uncoverPlayer() {
    auto& idle = form_.get<ui::Panel>("Panel2");
    idle.sendToBack();
    idle.hide();
    auto& bar = form_.get<ui::Panel>("Panel5");
    bar.show();
    bar.bringToFront();
    form_.get<ui::Panel>("Panel4").bringToFront();

    auto& position = form_.get<ui::TrackBar>("mpposibar");
    position.setRange(0, 100);
    position.setPosition(0);
    form_.get<ui::Label>("secleft").setCaption("0 : 00");
    form_.get<ui::Label>("minleft").setCaption("0%");
    form_.get<ui::TrackBar>("previewvolume").setEnabled(true);
    position.setEnabled(true);
    form_.get<ui::Label>("Label19").setCaption("Loading..");
}

void PlayRequest::playInMovie() {
    // The movie and the worker never play at once.
    if (worker_.hasWorker()) {
        form_.get<ui::MenuItem>("PlayVideo1").setEnabled(false);
        worker_.post(WorkerCommand::Stop);
    }
    worker_.showVideo(false);
    form_.get<ui::Label>("Label20").setCaption("F");
    auto& surface = form_.get<ui::MediaSurface>("ShockwaveFlash1");
    surface.show();
    surface.bringToFront();
    if (selection_.currentItem().feedTitle == "Google Video")
        selection_.setPlayLink(decodeGoogleVideoLink(selection_.playLink()));
    movie_.callFunction(invokeText("playVideo", selection_.playLink()));
    movie_.callFunction(invokeText("resumeVideo", "Resume"));
    form_.get<ui::Timer>("threadtimer").setEnabled(true);
}

void PlayRequest::playWorkerLink() {
    if (form_.get<ui::Animation>("Animate1").active())
        return;
    uncoverPlayer();
    state_.playMode = PlayMode::Worker;
    routeToWorker();
    // playmediathreadClick
    worker_.createThread();
}

void PlayRequest::handToWorker() {
    routeToWorker();
    // A file from disk is played as it is.
    if (!state_.localItem)
        resolver_.ResolveMediaLink();
    state_.workerLink = selection_.playLink();
    // playmediathreadClick
    worker_.createThread();
}

void PlayRequest::routeToWorker() {
    state_.playStatus = "Loading..";
    form_.get<ui::Label>("Label19").setCaption(state_.playStatus);
    form_.get<ui::Label>("Label20").setCaption("W");
    auto& surface = form_.get<ui::MediaSurface>("ShockwaveFlash1");
    surface.sendToBack();
    surface.hide();
    movie_.callFunction(invokeText("stopVideo", "Stop"));
    state_.newLinkPending = true;
}

} // namespace player
