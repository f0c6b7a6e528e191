#include "player/Player.h"

#include "player/Movie.h"
#include "player/PlayRequest.h"
#include "player/PlaybackState.h"
#include "player/Transport.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Widgets.h"

namespace player {

Player::Player(ui::Form& form, catalogue::Selection& selection, Movie& movie)
    : form_(form), movie_(movie), state_(std::make_unique<PlaybackState>()),
      request_(std::make_unique<player::PlayRequest>(form, selection, movie, *state_)),
      transport_(std::make_unique<Transport>(form, movie, *state_)) {
    state_->registerState(form.app().state());
    movie_.setSurface(&form_.get<ui::MediaSurface>("ShockwaveFlash1"));
}

Player::~Player() {
    movie_.setSurface(nullptr);
}

void Player::loadMovie(const std::string& path) {
    movie_.loadMovie(1, path);
}

void Player::PlayRequest() {
    request_->run();
}

} // namespace player
