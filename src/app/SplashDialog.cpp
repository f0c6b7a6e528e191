#include "app/SplashDialog.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "app/Config.h"
#include "platform/EchoClient.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

namespace app {

namespace {

constexpr ui::Colour kRed{255, 40, 40};
constexpr ui::Colour kText{225, 230, 240};
constexpr ui::Colour kLink{120, 180, 255};

ui::Label& textLabel(ui::Control& parent, const std::string& name, const std::string& caption,
                     int left, int top, int width = 220, ui::Colour colour = kText) {
    auto& l = parent.add<ui::Label>(name);
    l.setBounds(left, top, width, 16);
    l.setCaption(caption);
    l.setFontColour(colour);
    return l;
}

// The dialog's background: deep blue fading to black, with a soft light band
// across the top where the product name stands.
ui::Picture backgroundPicture(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fy = static_cast<double>(y) / height;
            const double fx = static_cast<double>(x) / width;
            const double band = std::max(0.0, 1.0 - std::abs(fy - 0.16) * 6.0) * (1.0 - fx * 0.6);
            const double base = 1.0 - fy * 0.85;
            auto* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
            p[0] = static_cast<std::uint8_t>(std::min(255.0, 10 * base + 40 * band));
            p[1] = static_cast<std::uint8_t>(std::min(255.0, 28 * base + 70 * band));
            p[2] = static_cast<std::uint8_t>(std::min(255.0, 70 * base + 110 * band));
        }
    return ui::Picture(width, height, std::move(rgb));
}

} // namespace

SplashDialog::SplashDialog(ui::Application& app, const Config& config, platform::EchoClient& echo,
                           platform::Shell& shell)
    : ui::Form(app, "AboutBox"), config_(config), echo_(echo), shell_(shell) {
    setCaption("About Pelora Browser");
    setBounds(0, 0, 500, 300);
    setColour(ui::colours::black);

    auto& background = add<ui::Image>("Image1");
    background.setBounds(0, 0, 500, 300);
    background.setStretch(true);
    background.setPicture(backgroundPicture(500, 300));

    // Product name, drawn in the picture's place until the dialog has one.
    auto& title = add<ui::Label>("TitleLabel");
    title.setBounds(18, 24, 420, 40);
    title.setCaption("Zorvex Video Browser");
    ui::Font tf = title.font();
    tf.name = "DejaVu Sans";
    tf.height = 30;
    tf.bold = true;
    tf.colour = {255, 255, 255};
    title.setFont(tf);

    const auto& sites = config_;
    textLabel(*this, "OS", platform::operatingSystemLine(), 18, 162);
    textLabel(*this, "PhysMem", platform::physicalMemoryText(), 18, 145);
    textLabel(*this, "port3306", "Checking Internet on Port 3306.", 290, 86, 200);
    textLabel(*this, "port80", "Checking Internet on Port 80.", 304, 105, 190);
    textLabel(*this, "Label5", "v2.1 2006", 445, 8, 52);

    auto link = [&](const std::string& name, const std::string& caption, int left, int top,
                    int width, std::string url) {
        auto& l = textLabel(*this, name, caption, left, top, width, kLink);
        ui::Font f = l.font();
        f.underline = true;
        l.setFont(f);
        l.setCursor(ui::Cursor::HandPoint);
        l.onClick = [this, url = std::move(url)] { openLink(url); };
    };
    const std::string mail = sites.get("sites", "contact_mail");
    const std::string product = sites.get("sites", "product");
    link("suiURLLabel1", mail, 18, 85, 220, "mailto:" + mail);
    link("suiURLLabel2", "http://" + product, 18, 106, 220, "http://" + product + "/");
    link("suiURLLabel3", "Click here for Connection Problems and Firewalls ", 258, 162, 240,
         "http://" + sites.get("sites", "connection_help"));

    auto& go = add<ui::Button>("suiImageButton1");
    go.setBounds(374, 223, 125, 41);
    go.setCaption("Continue");
    go.setSkin(1);
    go.setEnabled(false);
    go.onClick = [this] { continueToMainWindow(); };
    auto& ok = add<ui::Button>("OKButton");
    ok.setCaption("Launch Zorvex");
    ok.hide();
    ok.onClick = [this] { continueToMainWindow(); };

    auto& bar = add<ui::ProgressBar>("startProgress");
    bar.setBounds(-2, 289, 504, 12);
    bar.setRange(0, 100);
    bar.setPosition(0);
    bar.setSkin(1);

    // Enter continues, also while the continue button is disabled.
    auto enter = [this](std::string& key) {
        if (key == "\r")
            continueToMainWindow();
    };
    onKeyPress = enter;
    go.onKeyPress = enter;

    auto& timer = add<ui::Timer>("Timer1", 200, true);
    timer.onTimer = [this, &timer] {
        if (!visible())
            return;
        timer.setEnabled(false);
        workOnline_ = true;
        RunChecks();
    };
    onClose = [this] { hide(); };
    registerState();
}

void SplashDialog::RunChecks() {
    localHostName_ = "localhost";
    catalogueHostName_ = config_.catalogue().host;
    workOnline_ = true;
    checksFailed_ = false;
    check(localHostName_, Port::Web);
    check(catalogueHostName_, Port::Web);
    check(localHostName_, Port::Catalogue);
    check(catalogueHostName_, Port::Catalogue);
    if (checksFailed_)
        get<ui::Button>("suiImageButton1").setEnabled(true);
    else if (onChecksPassed)
        onChecksPassed();
}

void SplashDialog::check(const std::string& host, Port tag) {
    const auto result = echo_.echo(host, "Zorvex", std::chrono::milliseconds(kEchoTimeoutMs));
    auto& label = get<ui::Label>(tag == Port::Web ? "port80" : "port3306");
    if (!result.sent) {
        checksFailed_ = true;
        label.setFontColour(kRed);
        label.setCaption(tag == Port::Web ? "Check Internet Connection"
                                          : "No Connection to Zorvex Server");
        return;
    }
    // The reply handler: only replies that carried data count.
    if (!result.replied || result.replyBytes == 0 || !workOnline_)
        return;
    label.show();
    const bool local = host == localHostName_;
    if (tag == Port::Web) {
        label.setCaption(label.caption() + (local ? "." : "..OK"));
        if (!local)
            pingTimeText_ = std::to_string(result.roundTripMs);
    } else {
        label.setCaption(label.caption() + (local ? "." : ".OK"));
    }
}

void SplashDialog::continueToMainWindow() {
    if (checksFailed_) {
        const std::string answer =
            app().dialogs().ask("Zorvex has not detected any internet connection you should run in "
                                "local mode. Some Functions will "
                                "be disabled in Local Mode. ",
                                {"Work Online", "Work Offline"}, "Zorvex Notice");
        workOnline_ = answer == "Work Online";
    }
    if (onContinue)
        onContinue();
    hide();
}

void SplashDialog::openLink(const std::string& url) {
    shell_.openUrl(url, platform::WindowShow::Normal);
    close();
}

void SplashDialog::registerState() const {
    auto& r = app().state();
    r.add("workOnline", [this] { return workOnline_; });
    r.add("checksFailed", [this] { return checksFailed_; });
    r.add("localHostName", [this] { return localHostName_; });
    r.add("catalogueHostName", [this] { return catalogueHostName_; });
    r.add("pingTimeText", [this] { return pingTimeText_; });
}

} // namespace app
