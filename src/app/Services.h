#pragma once
// The platform services the windows use, chosen once at start-up: the real ones in
// the program, fakes in tests where the real one cannot be deterministic.

#include <memory>

#include "platform/EchoClient.h"
#include "platform/Shell.h"
#include "player/Movie.h"

namespace app {

struct Services {
    std::unique_ptr<platform::EchoClient> echo;
    std::unique_ptr<platform::Shell> shell;
    /// The player movie of `ShockwaveFlash1`; the main window makes the real one
    /// when none is given.
    std::unique_ptr<player::Movie> movie;

    /// The real Linux implementations.
    static Services real();
};

} // namespace app
