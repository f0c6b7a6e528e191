#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "TestWindow.h"
#include "automation/Channel.h"
#include "automation/Endpoint.h"
#include "automation/FdWriter.h"
#include "automation/HeadlessDriver.h"
#include "automation/StdioTransport.h"
#include "automation/Transport.h"
#include "automation/UnixSocketTransport.h"
#include "platform/UniqueFd.h"
#include "support/TempDir.h"

namespace {

using nlohmann::json;
using platform::UniqueFd;

UniqueFd connectTo(const std::string& path) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    if (!fd ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return UniqueFd();
    return fd;
}

void sendAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == ENOTSOCK)
            n = ::write(fd, data.data() + done, data.size() - done);
        ASSERT_GT(n, 0) << std::strerror(errno);
        done += static_cast<std::size_t>(n);
    }
}

// Reads whole lines from a descriptor until `count` have come or the input ends.
std::vector<json> readReplies(int fd, std::size_t count) {
    std::vector<json> replies;
    std::string buffer;
    char chunk[4096];
    while (replies.size() < count) {
        const std::size_t end = buffer.find('\n');
        if (end != std::string::npos) {
            replies.push_back(json::parse(buffer.substr(0, end), nullptr, false));
            buffer.erase(0, end + 1);
            continue;
        }
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
    return replies;
}

std::string request(int id, const json& command) {
    return json{{"id", id}, {"command", command}}.dump() + "\n";
}

// Ends the run if a client thread fails, so a broken test fails instead of hanging.
struct TerminateOnExit {
    ui::Application& app;
    ~TerminateOnExit() {
        app.loop().post([&app = app] {
            if (!app.terminated())
                app.terminate();
        });
    }
};

TEST(UnixSocketTransport, ClientsGetTheirOwnRepliesInOrder) {
    testsupport::TempDir dir("zorvex-automation");
    const std::string path = dir.file("automation.sock");
    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    std::vector<json> first, second;
    bool stillListening = false;
    {
        automation::UnixSocketTransport transport(channel, path);
        EXPECT_EQ(transport.path(), path);
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_TRUE(S_ISSOCK(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);

        std::thread clients([&] {
            TerminateOnExit guard{w.app};
            UniqueFd a = connectTo(path);
            UniqueFd b = connectTo(path);
            ASSERT_TRUE(a && b);
            // Two requests in one write, the third split across writes and ending in "\r\n".
            sendAll(a.get(),
                    request(1, {"event", "Button1", "Click"}) + request(2, {"state", "clicks"}));
            const std::string third = request(3, {"get", "Label1"});
            sendAll(a.get(), third.substr(0, 10));
            sendAll(b.get(), "\n" + request(100, {"get", "Nowhere"}));
            sendAll(a.get(), third.substr(10, third.size() - 11) + "\r\n");
            first = readReplies(a.get(), 3);
            second = readReplies(b.get(), 1);
            // A client leaving does not end the program or the other clients.
            b.reset();
            sendAll(a.get(), request(4, {"state", "clicks"}));
            auto more = readReplies(a.get(), 1);
            first.insert(first.end(), more.begin(), more.end());
            stillListening = static_cast<bool>(connectTo(path));
            sendAll(a.get(), request(5, {"quit"}));
            more = readReplies(a.get(), 1);
            first.insert(first.end(), more.begin(), more.end());
        });
        automation::HeadlessDriver(w.app).run();
        clients.join();
    }
    EXPECT_FALSE(std::filesystem::exists(path)); // removed with the transport
    EXPECT_TRUE(stillListening);

    ASSERT_EQ(first.size(), 5u);
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i]["id"], static_cast<int>(i) + 1);
    EXPECT_EQ(first[0]["error"], "success");
    EXPECT_EQ(first[1]["data"], 1);
    EXPECT_EQ(first[2]["data"]["caption"], "Newest Videos");
    EXPECT_EQ(first[3]["data"], 1);
    EXPECT_EQ(first[4]["error"], "success");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0]["id"], 100);
    EXPECT_NE(second[0]["error"], "success");
    EXPECT_TRUE(w.closed);
}

// True when `fd` is still connected and has nothing to read; false at its end.
bool openAndQuiet(int fd) {
    char byte;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_DONTWAIT);
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

// True when the transport has closed `fd`'s connection: what was still unread comes
// first, then the end.
bool disconnected(int fd) {
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0 || (n < 0 && errno == ECONNRESET))
            return true;
        if (n < 0)
            return false;
    }
}

TEST(UnixSocketTransport, IdleClientsPastTheLimitNeverLockANewClientOut) {
    testsupport::TempDir dir("zorvex-automation");
    const std::string path = dir.file("automation.sock");
    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    constexpr std::size_t limit = automation::UnixSocketTransport::kMaxClients;
    constexpr std::size_t past = 10;
    std::vector<json> active, newcomer;
    std::vector<bool> silentOpen;
    std::vector<bool> lateOpen;
    {
        automation::UnixSocketTransport transport(channel, path);
        std::thread clients([&] {
            TerminateOnExit guard{w.app};
            UniqueFd a = connectTo(path);
            ASSERT_TRUE(a);
            sendAll(a.get(), request(1, {"state", "clicks"}));
            ASSERT_EQ(readReplies(a.get(), 1).size(), 1u);

            // Up to the limit: clients that connect and never say a word, and one
            // more whose answer shows that the transport has taken them all in.
            std::vector<UniqueFd> silent;
            for (std::size_t i = 0; i + 2 < limit; ++i) {
                silent.push_back(connectTo(path));
                ASSERT_TRUE(silent.back()) << i;
            }
            UniqueFd probe = connectTo(path);
            sendAll(probe.get(), request(2, {"state", "clicks"}));
            ASSERT_EQ(readReplies(probe.get(), 1).size(), 1u);
            // The first client keeps working.
            sendAll(a.get(), request(3, {"state", "clicks"}));
            active = readReplies(a.get(), 1);

            // Past the limit: each newcomer takes the place of the client idle longest.
            std::vector<UniqueFd> late;
            for (std::size_t i = 0; i < past; ++i) {
                late.push_back(connectTo(path));
                ASSERT_TRUE(late.back()) << i;
            }
            UniqueFd b = connectTo(path);
            ASSERT_TRUE(b);
            sendAll(b.get(), request(4, {"get", "Label1"}));
            newcomer = readReplies(b.get(), 1);
            sendAll(a.get(), request(5, {"state", "clicks"}));
            auto more = readReplies(a.get(), 1);
            active.insert(active.end(), more.begin(), more.end());

            for (std::size_t i = 0; i < silent.size(); ++i)
                silentOpen.push_back(i <= past ? !disconnected(silent[i].get())
                                               : openAndQuiet(silent[i].get()));
            for (const auto& fd : late)
                lateOpen.push_back(openAndQuiet(fd.get()));
            EXPECT_TRUE(openAndQuiet(probe.get()));
        });
        automation::HeadlessDriver(w.app).run();
        clients.join();
    }
    ASSERT_EQ(newcomer.size(), 1u);
    EXPECT_EQ(newcomer[0]["id"], 4);
    EXPECT_EQ(newcomer[0]["data"]["name"], "Label1");
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[0]["id"], 3);
    EXPECT_EQ(active[1]["id"], 5);
    // The ones silent longest made way, one for each newcomer; the rest stay.
    ASSERT_EQ(silentOpen.size(), limit - 2);
    for (std::size_t i = 0; i < silentOpen.size(); ++i)
        EXPECT_EQ(silentOpen[i], i > past) << "silent client " << i;
    EXPECT_EQ(lateOpen, std::vector<bool>(past, true));
}

TEST(UnixSocketTransport, AClientThatStopsReadingHoldsUpNoOneAndLosesNothing) {
    testsupport::TempDir dir("zorvex-automation");
    const std::string path = dir.file("automation.sock");
    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    // Far more reply bytes than the sockets hold, but less than the transport keeps.
    constexpr int pausedRequests = 4000;
    constexpr int otherRequests = 50;
    std::vector<json> paused, other;
    {
        automation::UnixSocketTransport transport(channel, path);
        std::thread clients([&] {
            TerminateOnExit guard{w.app};
            UniqueFd slow = connectTo(path);
            UniqueFd fast = connectTo(path);
            ASSERT_TRUE(slow && fast);
            std::string burst;
            for (int i = 1; i <= pausedRequests; ++i)
                burst += request(i, {"controls"});
            sendAll(slow.get(), burst);
            // While the slow client reads nothing, the other one is answered.
            for (int i = 1; i <= otherRequests; ++i) {
                sendAll(fast.get(), request(i, {"state", "clicks"}));
                auto reply = readReplies(fast.get(), 1);
                other.insert(other.end(), reply.begin(), reply.end());
            }
            // Then the slow client reads every one of its replies, in order.
            paused = readReplies(slow.get(), pausedRequests);
        });
        automation::HeadlessDriver(w.app).run();
        clients.join();
    }
    ASSERT_EQ(other.size(), static_cast<std::size_t>(otherRequests));
    for (int i = 0; i < otherRequests; ++i)
        EXPECT_EQ(other[i]["id"], i + 1);
    ASSERT_EQ(paused.size(), static_cast<std::size_t>(pausedRequests));
    std::size_t bytes = 0;
    for (int i = 0; i < pausedRequests; ++i) {
        EXPECT_EQ(paused[i]["id"], i + 1);
        bytes += paused[i].dump().size();
    }
    EXPECT_GT(bytes, 1'000'000u);
}

TEST(UnixSocketTransport, AClientThatNeverReadsIsDroppedWhileTheOthersAreAnswered) {
    testsupport::TempDir dir("zorvex-automation");
    const std::string path = dir.file("automation.sock");
    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    automation::UnixSocketLimits limits;
    limits.maxUnsent = 64 * 1024;
    constexpr int otherRequests = 100;
    std::vector<json> other;
    bool dropped = false;
    int sendError = 0;
    {
        automation::UnixSocketTransport transport(channel, path, limits);
        std::thread clients([&] {
            TerminateOnExit guard{w.app};
            UniqueFd slow = connectTo(path);
            UniqueFd fast = connectTo(path);
            ASSERT_TRUE(slow && fast);
            // Only a guard against hanging should the transport never let go.
            const timeval guardTime{120, 0};
            ::setsockopt(slow.get(), SOL_SOCKET, SO_SNDTIMEO, &guardTime, sizeof guardTime);
            std::thread flood([&] {
                for (int i = 1; i <= 1'000'000; ++i) {
                    const std::string line = request(i, {"controls"});
                    if (::send(slow.get(), line.data(), line.size(), MSG_NOSIGNAL) < 0) {
                        sendError = errno;
                        dropped = errno == EPIPE || errno == ECONNRESET;
                        return;
                    }
                }
            });
            for (int i = 1; i <= otherRequests; ++i) {
                sendAll(fast.get(), request(i, {"state", "clicks"}));
                auto reply = readReplies(fast.get(), 1);
                other.insert(other.end(), reply.begin(), reply.end());
            }
            flood.join();
            EXPECT_TRUE(disconnected(slow.get()));
            // The others are still served after it went.
            sendAll(fast.get(), request(otherRequests + 1, {"get", "Label1"}));
            auto reply = readReplies(fast.get(), 1);
            other.insert(other.end(), reply.begin(), reply.end());
        });
        automation::HeadlessDriver(w.app).run();
        clients.join();
    }
    EXPECT_TRUE(dropped) << std::strerror(sendError);
    ASSERT_EQ(other.size(), static_cast<std::size_t>(otherRequests + 1));
    for (int i = 0; i <= otherRequests; ++i)
        EXPECT_EQ(other[i]["id"], i + 1);
    EXPECT_EQ(other.back()["data"]["name"], "Label1");
}

TEST(UnixSocketTransport, AQuitIsAnnouncedAsItArrivesAndRunsInItsTurn) {
    testsupport::TempDir dir("zorvex-automation");
    const std::string path = dir.file("automation.sock");
    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    std::vector<json> replies;
    {
        automation::UnixSocketTransport transport(channel, path);
        UniqueFd a = connectTo(path);
        ASSERT_TRUE(a);
        sendAll(a.get(), request(1, {"state", "clicks"}) + request(2, {"quit"}));
        // The reader tells the application while the loop has not run a turn yet: a
        // window holding the loop in a dialog would close it now.
        for (int i = 0; i < 100000 && !w.app.quitRequested(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(w.app.quitRequested());
        EXPECT_FALSE(w.closed);
        automation::HeadlessDriver(w.app).run();
        replies = readReplies(a.get(), 2);
    }
    EXPECT_TRUE(w.closed);
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0]["data"], 0);
    EXPECT_EQ(replies[1]["error"], "success");
}

TEST(UnixSocketTransport, ReplacesAStaleSocketAndRefusesALiveOneOrAnythingElse) {
    testsupport::TempDir dir("zorvex-automation");
    automationtest::TestWindow w;
    automation::Channel channel(w.app);

    // A socket file left behind by a program that ended without removing it.
    const std::string stale = dir.file("stale.sock");
    {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, stale.data(), stale.size());
        ASSERT_EQ(::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    }
    ASSERT_TRUE(std::filesystem::exists(stale));
    {
        automation::UnixSocketTransport transport(channel, stale);
        EXPECT_TRUE(static_cast<bool>(connectTo(stale)));

        // The same path while a listener answers there.
        try {
            automation::UnixSocketTransport second(channel, stale);
            ADD_FAILURE() << "a second listener was started";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("already listening"), std::string::npos)
                << e.what();
        }
        // The refused attempt left the first one's file alone.
        EXPECT_TRUE(static_cast<bool>(connectTo(stale)));
    }

    // A file that is not a socket is never replaced.
    const std::string plain = dir.write("notes.txt", "keep me");
    EXPECT_THROW(automation::UnixSocketTransport(channel, plain), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_regular_file(plain));

    EXPECT_THROW(automation::UnixSocketTransport(channel, dir.file(std::string(200, 'x'))),
                 std::runtime_error);
    EXPECT_THROW(automation::UnixSocketTransport(channel, dir.file("missing/dir.sock")),
                 std::runtime_error);
}

struct Pipe {
    UniqueFd read, write;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        read.reset(fds[0]);
        write.reset(fds[1]);
    }
};

TEST(StdioTransport, RepliesOnOneLineEachAndQuitsAtEndOfInput) {
    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    Pipe in, out;
    std::vector<json> replies;
    {
        automation::StdioTransport transport(channel, in.read.get(), out.write.get());
        std::thread reader([&] { replies = readReplies(out.read.get(), 5); });
        std::thread writer([&] {
            sendAll(in.write.get(), request(1, {"event", "Button1", "Click"}));
            sendAll(in.write.get(),
                    "\n   \n" + std::string(automation::StdioTransport::kMaxLine + 10, 'x') + "\n");
            sendAll(in.write.get(), "{broken\n");
            sendAll(in.write.get(), request(2, {"state", "clicks"}));
            // The last line needs no line break; the end of input then quits.
            std::string last = request(3, {"get", "Label1"});
            last.pop_back();
            sendAll(in.write.get(), last);
            in.write.reset();
        });
        automation::HeadlessDriver(w.app).run();
        writer.join();
        out.write.reset(); // the transport does not own it; the reader sees the end now
        reader.join();
    }
    ASSERT_EQ(replies.size(), 5u);
    EXPECT_EQ(replies[0], (json{{"id", 1}, {"error", "success"}, {"data", nullptr}}));
    EXPECT_TRUE(replies[1]["id"].is_null());
    EXPECT_NE(replies[1]["error"].get<std::string>().find("longer"), std::string::npos);
    EXPECT_TRUE(replies[2]["id"].is_null());
    EXPECT_NE(replies[2]["error"].get<std::string>().find("malformed"), std::string::npos);
    EXPECT_EQ(replies[3]["data"], 1);
    EXPECT_EQ(replies[4]["data"]["name"], "Label1");
    // End of input closed the principal form as a quit does.
    EXPECT_TRUE(w.closed);
    EXPECT_TRUE(w.app.terminated());
}

TEST(StdioTransport, EndOfInputEndsTheProgramEvenWhenClosingFails) {
    automationtest::TestWindow w;
    w.main.onClose = [] { throw std::runtime_error("cannot close"); };
    automation::Channel channel(w.app);
    Pipe in, out;
    {
        automation::StdioTransport transport(channel, in.read.get(), out.write.get());
        in.write.reset();
        automation::HeadlessDriver(w.app).run();
    }
    EXPECT_TRUE(w.app.terminated());
    ASSERT_EQ(w.app.dialogs().log().size(), 1u);
    EXPECT_EQ(w.app.dialogs().log()[0].text, "cannot close");
}

TEST(StdioTransport, StopsCleanlyWhileTheInputIsStillOpen) {
    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    Pipe in, out;
    { automation::StdioTransport transport(channel, in.read.get(), out.write.get()); }
    // Nothing was posted on the way out: no quit.
    w.app.loop().runPosted();
    EXPECT_FALSE(w.app.terminated());
}

TEST(FdWriter, AReaderThatWentAwayFailsTheWriteWithoutEndingTheProgram) {
    Pipe pipe;
    EXPECT_TRUE(automation::writeAll(pipe.write.get(), "reply\n"));
    pipe.read.reset();
    EXPECT_FALSE(automation::writeAll(pipe.write.get(), "reply\n"));

    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    UniqueFd mine(pair[0]), theirs(pair[1]);
    theirs.reset();
    EXPECT_FALSE(automation::writeAll(mine.get(), "reply\n"));
}

TEST(HeadlessDriver, RunsPostedWorkUntilTerminated) {
    automationtest::TestWindow w;
    std::vector<int> order;
    std::thread poster([&] {
        for (int i = 0; i < 3; ++i)
            w.app.loop().post([&order, i] { order.push_back(i); });
        w.app.loop().post([&w] { w.app.terminate(); });
    });
    automation::HeadlessDriver(w.app).run();
    poster.join();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    // The virtual clock stood still: no timer fired.
    EXPECT_TRUE(w.log.empty());
    EXPECT_EQ(w.app.loop().now(), 0);
}

TEST(Endpoint, ParsesTheAutomationOption) {
    EXPECT_EQ(automation::parseEndpoint("stdio"),
              (automation::Endpoint{automation::Endpoint::Type::Stdio, ""}));
    EXPECT_EQ(automation::parseEndpoint("unix:/tmp/z.sock"),
              (automation::Endpoint{automation::Endpoint::Type::UnixSocket, "/tmp/z.sock"}));
    for (const char* bad : {"", "unix:", "tcp:1234", "STDIO", "stdio ", "unix"})
        EXPECT_THROW(automation::parseEndpoint(bad), std::invalid_argument) << bad;

    automationtest::TestWindow w;
    automation::Channel channel(w.app);
    EXPECT_FALSE(automation::makeTransport("", w.app, channel));
    EXPECT_THROW(automation::makeTransport("pipe", w.app, channel), std::invalid_argument);
}

} // namespace
