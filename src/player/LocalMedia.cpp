#include "player/LocalMedia.h"

#include "catalogue/Selection.h"
#include "player/PlaybackState.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/Utf8.h"

namespace player {

namespace {

constexpr std::string_view mediaFilter =
    "All Files|*.*|Windows Media ASF|*.asf|Windows Media WMV|*.wmv|Windows Media|*.asx|"
    "Mpeg|*.mpg|Windows Media AVI|*.avi|Mp3|*.mp3|Windows Media AUDIO|*.wma";

} // namespace

std::string localTitle(std::string_view path) {
    const auto slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return ui::utf8::left(name, 50);
}

std::string localDescription(std::string_view path) {
    return ui::utf8::left(path, 50) + "..";
}

LocalMedia::LocalMedia(ui::Form& form, catalogue::Selection& selection, PlaybackState& state,
                       std::function<void()> playRequest, std::string liveStream)
    : form_(form), selection_(selection), state_(state), playRequest_(std::move(playRequest)),
      liveStream_(std::move(liveStream)) {
    // OpenLocalMedia1Click
    form_.get<ui::MenuItem>("OpenLocalMedia1").onClick = [this] { openLocalMedia(); };
    // elstraTV1Click, estLive1Click
    form_.get<ui::MenuItem>("elstraTV1").onClick = [this] { playLiveStream(); };
    form_.get<ui::MenuItem>("estLive1").onClick = [this] { playLiveStream(); };
}

void LocalMedia::openLocalMedia() {
    // localmediaopen: the main window stays hidden while the dialog is open.
    form_.hide();
    std::string path;
    try {
        path = form_.app().dialogs().chooseFile("Open", mediaFilter);
    } catch (...) {
        form_.show();
        throw;
    }
    form_.show();
    if (path.empty())
        return;

    state_.localItem = true;
    catalogue::Item item = selection_.currentItem();
    const std::string title = selection_.selectionTitle();
    item.title = localTitle(path);
    item.siteUrl = localDescription(path);
    item.mediaType = "application/x-mplaye";
    item.feedTitle = "local";
    item.description = localDescription(path);
    // The item's own link, its recnum and the title the resolver reads stay.
    selection_.choose(item);
    selection_.setSelectionTitle(title);
    selection_.setPlayLink(path);
    selection_.setPicture(form_.get<ui::Image>("suiDBImage1").picture());
    playRequest_();
}

void LocalMedia::playLiveStream() {
    selection_.setPlayLink(liveStream_);
    playRequest_();
}

} // namespace player
