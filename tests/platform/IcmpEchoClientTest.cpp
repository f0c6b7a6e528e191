#include <gtest/gtest.h>

#include "platform/IcmpEchoClient.h"

#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::IcmpEchoClient;

TEST(IcmpEchoClient, TheLocalMachineEchoesTheDataBack) {
    IcmpEchoClient client;
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        for (const std::string& data :
             {std::string("Zorvex"), std::string(), std::string(1024, 'p')}) {
            SCOPED_TRACE(host + " with " + std::to_string(data.size()) + " bytes");
            const auto result = client.echo(host, data, 6000ms);
            EXPECT_TRUE(result.sent) << result.error;
            EXPECT_TRUE(result.replied);
            EXPECT_EQ(result.replyBytes, 8 + data.size());
            EXPECT_GE(result.roundTripMs, 0);
            EXPECT_EQ(result.address, "127.0.0.1");
            EXPECT_EQ(result.error, "");
        }
    }
}

TEST(IcmpEchoClient, RequestsThatCannotBeSentAreReportedAsSuch) {
    IcmpEchoClient client;
    // An unresolvable name, no name, an IPv6-only address (the check is IPv4), and
    // data that no datagram can carry.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"no-such-host.invalid", "Zorvex"},
        {"", "Zorvex"},
        {"::1", "Zorvex"},
        {"127.0.0.1", std::string(70000, 'x')},
    };
    for (const auto& [host, data] : cases) {
        SCOPED_TRACE(host);
        const auto result = client.echo(host, data, 500ms);
        EXPECT_FALSE(result.sent);
        EXPECT_FALSE(result.replied);
        EXPECT_EQ(result.replyBytes, 0u);
        EXPECT_FALSE(result.error.empty());
    }
}

TEST(IcmpEchoClient, ConcurrentRequestsEachGetTheirOwnReply) {
    // Raw sockets see every echo reply of the machine; each request must still
    // pick out its own, told apart here by the size of its data.
    IcmpEchoClient client;
    constexpr int count = 8;
    constexpr int rounds = 5;
    std::vector<int> ownReplies(count, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i)
        threads.emplace_back([&, i] {
            const std::string data(static_cast<std::size_t>(10 + i * 7),
                                   static_cast<char>('a' + i));
            for (int round = 0; round < rounds; ++round) {
                const auto result = client.echo("127.0.0.1", data, 6000ms);
                if (result.replied && result.replyBytes == 8 + data.size())
                    ++ownReplies[static_cast<std::size_t>(i)];
            }
        });
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(ownReplies[static_cast<std::size_t>(i)], rounds) << "thread " << i;
}

} // namespace
