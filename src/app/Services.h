#pragma once
// The platform services the windows use, chosen once at start-up: the real ones in
// the program, fakes in tests where the real one cannot be deterministic.

#include <memory>

#include "platform/EchoClient.h"
#include "platform/Shell.h"

namespace app {

struct Services {
    std::unique_ptr<platform::EchoClient> echo;
    std::unique_ptr<platform::Shell> shell;

    /// The real Linux implementations.
    static Services real();
};

} // namespace app
