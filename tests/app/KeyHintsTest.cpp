// The window's keys are shown where the user looks for them: beside the hints of the
// buttons they stand for and in the shortcut column of the window-mode menu.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Services.h"
#include "automation/ControlProperties.h"
#include "support/ProgramTest.h"
#include "ui/Application.h"

namespace {

TEST(KeyHints, EachWindowKeyIsShownOnTheControlsItRuns) {
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    app::Services services;
    services.echo = std::make_unique<testsupport::FakeEcho>();
    services.shell = std::make_unique<testsupport::FakeShell>();
    app::Program program(app, app::Config(), ".", std::move(services));
    auto& form = program.mainform();
    const std::pair<const char*, const char*> expected[] = {
        {"play", "Space"},         {"pause", "Space"},         {"fullscreenbutton", "F"},
        {"suiImageButton26", "F"}, {"FullScreen1", "F"},       {"normalscreen", "Esc"},
        {"MainScreen1", "Esc"},    {"sqlsearchedit", "Ctrl+L"}};
    for (const auto& [name, key] : expected) {
        EXPECT_EQ(form.find(name)->keyHint(), key) << name;
        EXPECT_EQ(automation::describeControl(*form.find(name))["keyHint"], key) << name;
    }
    // The designed hints stay as they were.
    EXPECT_EQ(form.find("fullscreenbutton")->hint(), "Fullscreen");
    // Controls without a key carry none.
    EXPECT_EQ(form.find("NormalScreen1")->keyHint(), "");
    EXPECT_FALSE(automation::describeControl(*form.find("stop")).contains("keyHint"));
}

} // namespace
