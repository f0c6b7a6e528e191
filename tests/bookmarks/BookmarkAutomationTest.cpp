// Every control, item and flag of the bookmarks through the automation channel,
// as a script drives the program.

#include "support/ProgramTest.h"

#include "automation/Channel.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

using testsupport::ProgramTest;

class BookmarkAutomation : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        startOnline();
        channel_ = std::make_unique<automation::Channel>(*app);
    }
    void TearDown() override {
        channel_.reset();
        ProgramTest::TearDown();
    }
    nlohmann::json reply(const nlohmann::json& command) {
        nlohmann::json out;
        channel_->submit(nlohmann::json{{"id", 1}, {"command", command}}.dump(),
                         [&](const std::string& line) { out = nlohmann::json::parse(line); });
        return out;
    }
    std::string send(const nlohmann::json& command) { return reply(command).value("error", ""); }
    nlohmann::json data(const nlohmann::json& command) {
        const auto r = reply(command);
        EXPECT_EQ(r.value("error", ""), "success") << command.dump();
        return r.value("data", nlohmann::json());
    }

  private:
    std::unique_ptr<automation::Channel> channel_;
};

TEST_F(BookmarkAutomation, EveryControlItemAndFlagIsReachable) {
    for (const char* name :
         {"bookmarkOffset", "bookmarkCount", "bookmarkConfirmed", "bookmarkShowLast",
          "bookmarkFromNowPlaying", "bookmarkSlots", "bookmarkDialogMode", "bookmarkStoreOpen"})
        EXPECT_EQ(send({"state", name}), "success") << name;
    const auto controls = data({"controls"});
    for (const char* name :
         {"bookmarkbox",       "Label1",           "Label2",           "Label3",
          "Button1",           "Button2",          "Button3",          "Button4",
          "Button5",           "suiImageButton13", "suiImageButton14", "suiImageButton27",
          "playAddToBookmark", "AddtoFavourites1", "DeleteBookmark1",  "DeleteAllBookmarks1",
          "AddtoBookmarks1",   "musicpic1",        "musicpic16",       "suiTabSheet7"})
        EXPECT_NE(controls.dump().find(std::string("\"") + name + "\""), std::string::npos) << name;

    const auto box = data({"get", "bookmarkbox"});
    EXPECT_EQ(box["caption"], "Bookmarks");
    EXPECT_EQ(box["width"], 307);
    EXPECT_EQ(box["height"], 119);
    EXPECT_EQ(box["stayOnTop"], true);
    EXPECT_EQ(box["visible"], false);
    EXPECT_EQ(box["fontName"], "Tahoma");
    const auto label2 = data({"get", "bookmarkbox.Label2"});
    EXPECT_EQ(label2["caption"], "Video already exsists in Bookmarks");
    EXPECT_EQ(label2["left"], 67);
    EXPECT_EQ(label2["top"], 50);
    EXPECT_EQ(data({"get", "bookmarkbox.Button3"})["fontBold"], true);
    EXPECT_EQ(data({"get", "suiImageButton27"})["caption"], "     Favorites");
    EXPECT_EQ(data({"get", "suiImageButton27"})["fontColor"], "#808080");
    EXPECT_EQ(data({"get", "playAddToBookmark"})["enabled"], false);
}

TEST_F(BookmarkAutomation, AScriptAddsABookmarkAndTheDialogHoldsTheWindow) {
    EXPECT_EQ(send({"event", "suiImageButton27", "Click", nlohmann::json::object()}), "success");
    EXPECT_EQ(data({"state", "bookmarkCount"}), 0);
    // The dialog's buttons cannot be pressed while it is hidden.
    EXPECT_EQ(send({"event", "bookmarkbox.Button4", "Click", nlohmann::json::object()}),
              "event: Button 'Button4' is not showing");

    EXPECT_EQ(send({"event", "featurepic3", "MouseMove", {{"x", 5}, {"y", 5}}}), "success");
    EXPECT_EQ(send({"event", "featurepic3", "MouseLeave", nlohmann::json::object()}), "success");
    EXPECT_EQ(send({"menu", "AddtoFavourites1"}), "success");
    EXPECT_EQ(data({"state", "bookmarkDialogMode"}), "insert");
    // While the dialog is up the main window takes nothing.
    EXPECT_NE(send({"event", "suiImageButton27", "Click", nlohmann::json::object()}), "success");
    EXPECT_EQ(send({"event", "bookmarkbox.Button4", "Click", nlohmann::json::object()}), "success");
    EXPECT_EQ(data({"state", "bookmarkCount"}), 1);
    EXPECT_EQ(data({"get", "musicpic1"})["visible"], true);
    EXPECT_EQ(data({"get", "sidepage"})["active"], 2);
    EXPECT_EQ(data({"get", "mainform"})["enabled"], true);

    // The title bar's close button, in the duplicate mode.
    EXPECT_EQ(send({"event", "featurepic3", "MouseMove", {{"x", 5}, {"y", 5}}}), "success");
    EXPECT_EQ(send({"event", "featurepic3", "MouseLeave", nlohmann::json::object()}), "success");
    EXPECT_EQ(send({"menu", "AddtoFavourites1"}), "success");
    EXPECT_EQ(send({"event", "bookmarkbox.Button4", "Click", nlohmann::json::object()}), "success");
    EXPECT_EQ(data({"state", "bookmarkDialogMode"}), "duplicate");
    EXPECT_EQ(send({"event", "bookmarkbox", "Close", nlohmann::json::object()}), "success");
    EXPECT_EQ(data({"get", "bookmarkbox"})["visible"], false);
    EXPECT_EQ(data({"get", "mainform"})["enabled"], true);
    EXPECT_EQ(data({"state", "bookmarkDialogMode"}), "deleteAll");
    EXPECT_EQ(data({"state", "bookmarkCount"}), 1);
    EXPECT_TRUE(data({"dialogs"}).empty());
}

} // namespace
