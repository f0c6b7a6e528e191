#pragma once
// The splash screen, start-up connection check and About box in one. It is the
// program's principal window: closing it ends the program, and it shows the main
// window when the user continues.
//
// Thread: user-interface thread only. The echo checks run synchronously on it, as
// the rest of start-up does.

#include <string>

#include "ui/Form.h"

namespace platform {
class EchoClient;
class Shell;
} // namespace platform

namespace app {

class Tmainform;

class TAboutBox : public ui::Form {
public:
    TAboutBox(ui::Application& app, Tmainform& mainform, platform::EchoClient& echo, platform::Shell& shell);

    /// The four echo checks and the decision that follows them.
    void RunChecks();
    /// The continue button (and Enter, and the hidden OK button).
    void suiImageButton1Click();

    bool workOnline = false;
    bool checksFailed = false;
    std::string localHostName;
    std::string catalogueHostName;

    static constexpr int kEchoTimeoutMs = 6000;

private:
    enum class Port { Web = 80, Catalogue = 3306 };
    void check(const std::string& host, Port tag);
    void openLink(const std::string& url);

    Tmainform& mainform_;
    platform::EchoClient& echo_;
    platform::Shell& shell_;
};

} // namespace app
