#include "app/Services.h"

#include "platform/DesktopShell.h"
#include "platform/IcmpEchoClient.h"
#include "player/PlayerMovie.h"

namespace app {

Services Services::real() {
    Services s;
    s.echo = std::make_unique<platform::IcmpEchoClient>();
    s.shell = std::make_unique<platform::DesktopShell>();
    s.movie = std::make_unique<player::PlayerMovie>();
    return s;
}

} // namespace app
