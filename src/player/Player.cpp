#include "player/Player.h"

#include "platform/CurlDownloader.h"
#include "platform/MpvMediaPlayer.h"
#include "player/LocalMedia.h"
#include "player/Movie.h"
#include "player/PlayRequest.h"
#include "player/PlaybackState.h"
#include "player/Transport.h"
#include "player/WorkerRoute.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Widgets.h"

namespace player {

namespace {

platform::Downloader& downloaderOf(WorkerServices& services,
                                   std::unique_ptr<platform::Downloader>& own) {
    if (services.downloader)
        return *services.downloader;
    own = std::make_unique<platform::CurlDownloader>();
    return *own;
}

MediaWorker::PlayerFactory playerFactoryOf(WorkerServices& services, ui::Form& form) {
    if (services.makePlayer)
        return std::move(services.makePlayer);
    return surfacePlayerFactory(dynamic_cast<const ui::MediaSurface*>(form.find("workerVideo")));
}

} // namespace

MediaWorker::PlayerFactory surfacePlayerFactory(const ui::MediaSurface* surface) {
    return [surface] {
        platform::MpvPlayerOptions options;
        options.window = surface ? static_cast<platform::NativeWindow>(surface->windowId()) : 0;
        options.headless = options.window == 0;
        return std::make_unique<platform::MpvMediaPlayer>(options);
    };
}

Player::Player(ui::Form& form, catalogue::Selection& selection, Movie& movie,
               WorkerServices services)
    : form_(form), movie_(movie), state_(std::make_unique<PlaybackState>()),
      resolver_(std::make_unique<LinkResolver>(form, selection,
                                               downloaderOf(services, ownDownloader_),
                                               services.resolver, services.ifilmKey)),
      worker_(std::make_unique<WorkerRoute>(form, *state_, playerFactoryOf(services, form),
                                            services.resolver.aolMarker)),
      request_(std::make_unique<player::PlayRequest>(form, selection, movie, *state_, *resolver_,
                                                     *worker_)),
      transport_(std::make_unique<Transport>(form, movie, *state_, *worker_)),
      localMedia_(std::make_unique<LocalMedia>(
          form, selection, *state_, [this] { request_->run(); }, services.liveStream)) {
    state_->registerState(form.app().state());
    movie_.setSurface(&form_.get<ui::MediaSurface>("ShockwaveFlash1"));
}

Player::~Player() {
    movie_.setSurface(nullptr);
}

bool Player::idle() const {
    return movie_.idle() && worker_->idle();
}

void Player::loadMovie(const std::string& path) {
    movie_.loadMovie(1, path);
}

void Player::PlayRequest() {
    request_->run();
}

void Player::playHandedLink(std::string link) {
    state_->workerLink = std::move(link);
    // playlocalvideosClick
    request_->playWorkerLink();
}

} // namespace player
