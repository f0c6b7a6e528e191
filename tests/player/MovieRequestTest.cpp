#include <gtest/gtest.h>

#include "player/Movie.h"
#include "player/MovieRequest.h"
#include "player/PollReplies.h"

namespace {

using namespace player;

TEST(MovieRequest, TheStopRequestIsExactlyTheKnownString) {
    EXPECT_EQ(invokeText("stopVideo", "Stop"),
              "<invoke name=\"stopVideo\" returntype=\"xml\"><arguments><string>Stop</string>"
              "</arguments></invoke>");
}

TEST(MovieRequest, ParsesWhatItBuildsWithTheArgumentUnescaped) {
    const std::string link = "http://a.example/v?x=1&y=<2>\"</string>";
    EXPECT_EQ(parseInvoke(invokeText("playVideo", link)), (MovieRequest{"playVideo", link}));
    EXPECT_EQ(parseInvoke(invokeText("timeVideo", "")), (MovieRequest{"timeVideo", ""}));
}

TEST(MovieRequest, MalformedRequestsAreErrorsOfThatRequest) {
    const std::string good = invokeText("stopVideo", "Stop");
    for (const std::string& bad : {
             std::string(), std::string("stopVideo"), good.substr(0, good.size() - 1), // cut short
             good.substr(1),                                                           // no "<"
             std::string("<invoke name=\"\" returntype=\"xml\"><arguments><string>a</string>"
                         "</arguments></invoke>"), // empty name
             std::string("<invoke name=\"stop Video\" returntype=\"xml\"><arguments><string>a"
                         "</string></arguments></invoke>"), // blank in the name
             std::string("<invoke name=\"stopVideo returntype=\"xml\"><arguments><string>a"
                         "</string></arguments></invoke>"), // quote missing
             std::string("<invoke name=\"stopVideo\" returntype=\"xml\"><arguments><number>1"
                         "</number></arguments></invoke>"), // not a string
             std::string("<invoke name=\"stopVideo\" returntype=\"xml\"><arguments><string>"
                         "</arguments></invoke>"), // tail overlaps the head
         })
        EXPECT_THROW(parseInvoke(bad), MovieError) << bad;
}

TEST(MovieReplies, TheFormsTheTransportBarReads) {
    EXPECT_EQ(stateReply("playing"), "<string>+playing</string>");
    EXPECT_EQ(secondsReply(12.5), "<number>12.5</number>");
    EXPECT_EQ(secondsReply(3.0), "<number>3</number>");
    EXPECT_EQ(secondsReply(-1.0), "<number>0</number>");
    EXPECT_EQ(nullReply(), "<string>null</string>");

    EXPECT_EQ(stateWordOf(stateReply("connectionError")), "connectionError");
    EXPECT_EQ(secondsTextOf(secondsReply(12.5)), "12");
    EXPECT_EQ(secondsTextOf(secondsReply(121.0)), "121");
    EXPECT_EQ(secondsTextOf(nullReply()), "null");
}

TEST(PollReplies, StateWords) {
    EXPECT_EQ(stateWordOf("<string>+buffering</string>"), "buffering");
    // No "+": read from the start, so a reply beginning with "<" gives no word.
    EXPECT_EQ(stateWordOf("<string>playing</string>"), "");
    EXPECT_EQ(stateWordOf("paused<"), "paused");
    EXPECT_EQ(stateWordOf(""), "");
    // At most 100 characters after the "+".
    EXPECT_EQ(stateWordOf("+" + std::string(150, 'a')), std::string(100, 'a'));

    EXPECT_EQ(statusForWord("playing"), "Playing");
    EXPECT_EQ(statusForWord("loading"), "Loading..");
    EXPECT_EQ(statusForWord("buffering"), "Buffering..");
    EXPECT_EQ(statusForWord("connectionError"), "Connection Error");
    EXPECT_EQ(statusForWord("disconnected"), "Disconnected");
    EXPECT_EQ(statusForWord("seeking"), "Seeking");
    EXPECT_EQ(statusForWord("rewinding"), "Rewinding");
    EXPECT_EQ(statusForWord("stopped"), "Stopped");
    EXPECT_EQ(statusForWord("paused"), "Paused");
    EXPECT_EQ(statusForWord("Playing"), std::nullopt);
    EXPECT_EQ(statusForWord(""), std::nullopt);
}

TEST(PollReplies, SecondsAreCutAtThePointOrTheTag) {
    EXPECT_EQ(secondsTextOf("<number>12.5</number>"), "12");
    EXPECT_EQ(secondsTextOf("<number>7</number>"), "7");
    // At most 10 characters after the ">".
    EXPECT_EQ(secondsTextOf("<number>12345678901234</number>"), "1234567890");
    EXPECT_EQ(secondsTextOf("42"), "42");

    EXPECT_EQ(toInteger("12"), 12);
    EXPECT_EQ(toInteger("-3"), -3);
    EXPECT_EQ(toInteger("null"), std::nullopt);
    EXPECT_EQ(toInteger(""), std::nullopt);
    EXPECT_EQ(toInteger("1234567890"), 1234567890);
    EXPECT_EQ(toInteger("9999999999"), std::nullopt);
    EXPECT_EQ(toInteger("12 "), std::nullopt);
}

TEST(PollReplies, PercentageInSinglePrecision) {
    EXPECT_EQ(percentText(12, 50), "24");
    EXPECT_EQ(percentText(1, 3), "33");
    EXPECT_EQ(percentText(2, 3), "66"); // cut, not rounded
    EXPECT_EQ(percentText(121, 121), "100");
    EXPECT_EQ(percentText(5, 0), "0");
    EXPECT_EQ(percentText(0, 0), "0");
    EXPECT_EQ(percentText(0, 10), "0");
}

TEST(PollReplies, ElapsedTime) {
    EXPECT_EQ(elapsedText(0), "0 : 00");
    EXPECT_EQ(elapsedText(9), "0 : 09");
    EXPECT_EQ(elapsedText(12), "0 : 12");
    EXPECT_EQ(elapsedText(65), "1 : 05");
    EXPECT_EQ(elapsedText(600), "10 : 00");
}

TEST(PollReplies, SeekAndVolume) {
    EXPECT_EQ(seekText(50, 121), "60");
    EXPECT_EQ(seekText(0, 121), "0");
    EXPECT_EQ(seekText(100, 121), "121");
    EXPECT_EQ(seekText(33, 0), "0");
    EXPECT_EQ(volumeText(1000), "100");
    EXPECT_EQ(volumeText(5), "0");
    EXPECT_EQ(volumeText(500), "50");
}

} // namespace
