#include "app/Services.h"

#include "platform/DesktopShell.h"
#include "platform/IcmpEchoClient.h"

namespace app {

Services Services::real() {
    Services s;
    s.echo = std::make_unique<platform::IcmpEchoClient>();
    s.shell = std::make_unique<platform::DesktopShell>();
    return s;
}

} // namespace app
