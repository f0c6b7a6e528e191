// The online load against a catalogue with bad rows: one bad picture or row must
// not take the whole catalogue away. Each problem is reported once and skipped;
// only a failed connection or a list the load cannot do without ends the load.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/OnlineMode.h"
#include "db/Query.h"
#include "support/ProgramTest.h"
#include "ui/Image.h"
#include "ui/Widgets.h"

namespace {

class OnlineLoad : public testsupport::ProgramTest {
  protected:
    bool hasPicture(const std::string& name) {
        return !dynamic_cast<ui::Image&>(*app->findControl(name)).picture()->empty();
    }
    bool continueEnabled() { return app->findControl("suiImageButton1")->enabled(); }
    /// The recnum of the first item of the first Newest Videos topic.
    std::string firstFeatureRecnum() {
        const std::string sql =
            scalar("SELECT videoquerysql FROM qzrbackup.videoqueryfeature ORDER BY id LIMIT 1");
        db::Query q(root(), "halden");
        q.setSql(sql + " LIMIT 0,1");
        q.open();
        return q.field("recnum").text();
    }
};

class BadFirstThumbnail : public OnlineLoad, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadFirstThumbnail, IsReportedOnceAndTheProgramStillGoesOnline) {
    const std::string recnum = firstFeatureRecnum();
    saveRows("halden.videosnap", "recnum = " + recnum);
    root().execute(std::string("UPDATE halden.videosnap SET pictureblob = ") + GetParam() +
                   " WHERE recnum = " + recnum);
    start();
    runChecks();
    EXPECT_TRUE(form->online().onlineMode());
    EXPECT_TRUE(continueEnabled());
    ASSERT_EQ(errors().size(), 1u) << errors().back();
    EXPECT_NE(errors()[0].find("fea1.jpg"), std::string::npos) << errors()[0];
    // The bad slot has its texts but no picture; the slots after it are filled.
    EXPECT_FALSE(hasPicture("featurepic1"));
    EXPECT_EQ(app->state().get("featureSlots")[0]["recnum"], recnum);
    EXPECT_NE(app->findControl("featurepic1caption")->caption(), "");
    EXPECT_TRUE(hasPicture("featurepic2"));
    EXPECT_NE(app->findControl("featurepic8caption")->caption(), "");
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());

    // Outside the online load a bad picture still ends the fill at its slot.
    click("suiImageButton1"); // continue to the main window
    click("suiImageButton6");
    EXPECT_EQ(errors().size(), 2u);
    EXPECT_EQ(app->findControl("featurepic2caption")->caption(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BadFirstThumbnail,
    ::testing::Values("'not a picture'", "''", "NULL",
                      "UNHEX('89504E470D0A1A0A0000000D49484452')" /* a PNG's start */));

TEST_F(OnlineLoad, AMissingKeyTableIsReportedAndTheLoadGoesOn) {
    root().execute("RENAME TABLE halden.videokey TO halden.videokey_away");
    atTearDown("RENAME TABLE halden.videokey_away TO halden.videokey");
    start();
    runChecks();
    EXPECT_TRUE(form->online().onlineMode());
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("videokey"), std::string::npos) << errors()[0];
    EXPECT_EQ(app->state().get("ifilmKey"), "");
    EXPECT_NE(app->state().get("categoryNodes").size(), 0u);
}

TEST_F(OnlineLoad, AMissingTopicListStillEndsTheLoad) {
    root().execute("RENAME TABLE qzrbackup.videoqueryfeature TO qzrbackup.videoqueryfeature_away");
    atTearDown("RENAME TABLE qzrbackup.videoqueryfeature_away TO qzrbackup.videoqueryfeature");
    start();
    runChecks();
    EXPECT_FALSE(form->online().onlineMode());
    EXPECT_FALSE(continueEnabled());
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("videoqueryfeature"), std::string::npos) << errors()[0];
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
}

} // namespace
