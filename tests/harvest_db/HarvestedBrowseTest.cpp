// Harvested items in the program: the demo feeds harvested into the test catalogue
// come first on the Newest Videos page, with their thumbnails and media links.

#include "HarvestSupport.h"

#include "support/ProgramTest.h"
#include "ui/Image.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class HarvestedItems : public testsupport::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        site_ = std::make_unique<harvesttest::HarvestSite>();
        ASSERT_TRUE(site_->running());
        nlohmann::json summary;
        ASSERT_EQ(site_->harvest({"--config", site_->demoConfig()}, summary), 0) << summary.dump();
    }
    void TearDown() override {
        site_.reset();
        harvesttest::closeRoot();
        ProgramTest::TearDown();
    }

    std::unique_ptr<harvesttest::HarvestSite> site_;
};

TEST_F(HarvestedItems, LeadTheNewestVideosWithTheirPictures) {
    startOnline();
    // The first topic is the News category, newest first: the three harvested News
    // items, then the seeded ones.
    const nlohmann::json slots = app->state().get("featureSlots");
    std::set<std::string> first;
    for (int n = 0; n < 3; ++n)
        first.insert(slots[n]["title"].get<std::string>());
    EXPECT_EQ(first,
              (std::set<std::string>{"Ferry strike leaves commuters stranded at the harbour",
                                     "Council votes to keep the bridge lights on until midnight",
                                     "Evening bulletin: the day in sixty seconds"}));
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(slots[n]["feedTitle"], "Harbour City Newsroom");
        EXPECT_NE(slots[n]["mediaLink"].get<std::string>().find(
                      "127.0.0.1:" + std::to_string(harvesttest::webPort()) + "/media/demo-clip."),
                  std::string::npos);
        const auto& picture =
            dynamic_cast<ui::Image&>(*app->findControl("featurepic" + std::to_string(n + 1)))
                .picture();
        EXPECT_FALSE(picture->empty()) << "slot " << n + 1;
    }
    EXPECT_TRUE(errors().empty());
}

} // namespace
