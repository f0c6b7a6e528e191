#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestWindow.h"
#include "automation/Channel.h"
#include "automation/RequestQueue.h"

namespace {

using nlohmann::json;

struct RequestQueueTest : ::testing::Test {
    automationtest::TestWindow w;
    automation::Channel channel{w.app};
    automation::RequestQueue queue{channel};
    std::vector<json> replies;
    automation::RequestQueue::ReplyWriter writer = [this](const std::string& reply) {
        replies.push_back(json::parse(reply));
    };

    static std::string request(int id, const json& command) {
        return json{{"id", id}, {"command", command}}.dump();
    }
};

TEST_F(RequestQueueTest, ARequestArrivingWhileAnotherRunsIsAnsweredAfterIt) {
    // The transport posted the second request before the first one ran; the
    // click's handler runs posted work, which reaches the second request mid-way.
    w.app.loop().post([this] { queue.submitLine(request(2, {"state", "clicks"}), writer); });
    queue.submitLine(request(1, {"event", "Button1", "Click"}), writer);

    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0]["id"], 1);
    EXPECT_EQ(replies[1]["id"], 2);
    EXPECT_EQ(replies[1]["data"], 1); // it saw the finished click
    EXPECT_TRUE(w.postedRan);
}

TEST_F(RequestQueueTest, OverlongLinesAndEndOfInput) {
    queue.submitOverlong(64, writer);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(replies[0]["id"].is_null());
    EXPECT_NE(replies[0]["error"].get<std::string>().find("64"), std::string::npos);

    queue.submitEndOfInput();
    EXPECT_TRUE(w.closed);
    EXPECT_TRUE(w.app.terminated());
}

TEST_F(RequestQueueTest, ADetachedQueueDoesNothing) {
    queue.detach();
    queue.submitLine(request(1, {"event", "Button1", "Click"}), writer);
    queue.submitEndOfInput();
    EXPECT_TRUE(replies.empty());
    EXPECT_EQ(w.clicks, 0);
    EXPECT_FALSE(w.app.terminated());
}

} // namespace
