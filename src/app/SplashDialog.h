#pragma once
// The splash screen, start-up connection check and About box in one (the form
// "AboutBox"). It is the program's principal window: closing it ends the program,
// and it shows the main window when the user continues.
//
// Thread: user-interface thread only. The echo checks run synchronously on it, as
// the rest of start-up does.

#include <functional>
#include <string>

#include "ui/Form.h"

namespace platform {
class EchoClient;
class Shell;
} // namespace platform

namespace app {

class Config;

class SplashDialog : public ui::Form {
  public:
    /// Builds the dialog and registers the start-up flags as state variables. The
    /// checks start 200 ms after the dialog is first visible.
    SplashDialog(ui::Application& app, const Config& config, platform::EchoClient& echo,
                 platform::Shell& shell);

    /// Runs after checks that all went out: the online load.
    std::function<void()> onChecksPassed;
    /// Runs when the user continues: shows the main window.
    std::function<void()> onContinue;

    /// The four echo checks and the decision that follows them.
    void RunChecks();

    /// The user chose to work online (the checks ran, or the notice said so).
    bool workOnline() const { return workOnline_; }
    /// An echo request could not be sent.
    bool checksFailed() const { return checksFailed_; }
    /// The round trip to the catalogue host in ms, or empty.
    const std::string& pingTimeText() const { return pingTimeText_; }

    static constexpr int kEchoTimeoutMs = 6000;

  private:
    enum class Port { Web = 80, Catalogue = 3306 };
    void check(const std::string& host, Port tag);
    /// The continue button (and Enter, and the hidden OK button).
    void continueToMainWindow();
    void openLink(const std::string& url);
    void registerState() const;

    const Config& config_;
    platform::EchoClient& echo_;
    platform::Shell& shell_;
    bool workOnline_ = false;
    bool checksFailed_ = false;
    std::string localHostName_;
    std::string catalogueHostName_;
    std::string pingTimeText_;
};

} // namespace app
