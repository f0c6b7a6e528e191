#include "automation/StopSignal.h"

#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace automation {

StopSignal::StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!fd_)
        throw std::system_error(errno, std::generic_category(),
                                "automation: cannot create an eventfd");
}

void StopSignal::raise() noexcept {
    const std::uint64_t one = 1;
    // The counter stays readable once raised; a full counter is just as good.
    [[maybe_unused]] const auto n = ::write(fd_.get(), &one, sizeof one);
}

} // namespace automation
