#pragma once
// Shell for a Linux desktop: the browser named by $BROWSER, else xdg-open.
//
// $BROWSER is read at each call. It may hold several commands separated by ':';
// the first that can be started is used. Each command is split at blanks into a
// program (found through $PATH) and its arguments; a "%s" argument is replaced by
// the URL, and without one the URL is added as the last argument. No shell ever
// sees the URL, so quotes, blanks and ';' in it reach the browser unchanged.
//
// The browser runs detached in its own session, with stdin and stdout on
// /dev/null (stdout may carry the automation channel) and no descriptor of ours
// beyond stderr. It is started through a short-lived intermediate process that
// this call reaps, so the browser is never left as our zombie.
//
// Thread: any thread (getenv is read-only here; do not change the environment
// concurrently).

#include "platform/Shell.h"

namespace platform {

class DesktopShell final : public Shell {
  public:
    DesktopShell() = default;

    /// See Shell::openUrl. `show` is not passed on: the browser picks its window.
    bool openUrl(std::string_view url, WindowShow show) override;
};

} // namespace platform
