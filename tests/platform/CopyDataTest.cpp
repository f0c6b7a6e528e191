#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

#include "platform/CopyData.h"
#include "platform/CopyDataDelivery.h"
#include "platform/CopyDataListener.h"
#include "platform/UniqueFd.h"
#include "support/TempDir.h"

namespace {

using platform::CopyData;
using platform::CopyDataListener;
using platform::UniqueFd;

// Stands in for the user-interface thread: work the listener posts waits here until
// the test runs it.
class PostedWork {
  public:
    void post(std::function<void()> fn) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(fn));
        }
        cv_.notify_all();
    }
    /// Waits until work is posted, without running it.
    bool waitPosted() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(30), [&] { return !queue_.empty(); });
    }
    /// Runs one piece of posted work; false when none came within a generous bound.
    bool runOne() {
        std::function<void()> fn;
        {
            std::unique_lock lock(mutex_);
            if (!cv_.wait_for(lock, std::chrono::seconds(30), [&] { return !queue_.empty(); }))
                return false;
            fn = std::move(queue_.front());
            queue_.pop_front();
        }
        fn();
        return true;
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
};

struct CopyDataFixture : ::testing::Test {
    testsupport::TempDir tmp{"zorvex-copydata"};
    PostedWork ui;
    std::vector<CopyDataListener::Received> received;

    std::unique_ptr<CopyDataListener> listen(std::int32_t answer = 7) {
        return std::make_unique<CopyDataListener>(
            "TReceiverMainForm", "ReceiverMainForm",
            [this](std::function<void()> fn) { ui.post(std::move(fn)); },
            [this, answer](const CopyDataListener::Received& r) {
                received.push_back(r);
                return answer;
            },
            tmp.path().string());
    }

    static UniqueFd connectTo(const std::string& path) {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.data(), path.size());
        EXPECT_EQ(::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address),
                  0)
            << std::strerror(errno);
        return fd;
    }
    static void sendAll(int fd, const std::string& bytes) {
        ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    static std::string header(std::uint32_t kind, std::uint32_t size) {
        return platform::frame({kind, std::string(0, '\0')}).substr(0, 4) +
               platform::frame({size, ""}).substr(0, 4);
    }
    /// The four answer bytes as a number, or -1 when the connection ended without.
    static long readAnswer(int fd) {
        unsigned char bytes[4];
        std::size_t got = 0;
        while (got < 4) {
            const ssize_t n = ::recv(fd, bytes + got, 4 - got, 0);
            if (n <= 0)
                return -1;
            got += static_cast<std::size_t>(n);
        }
        return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | long(bytes[3]) << 24;
    }
};

// --- payloads ---

TEST(CopyDataPayload, ATextOfNCharactersIsSentWithNPlusOneBytes) {
    const CopyData message = platform::textMessage("http://a.example/clip.wmv");
    EXPECT_EQ(message.kind, 0u);
    EXPECT_EQ(message.payload.size(), 26u);
    EXPECT_EQ(message.payload.back(), '\0');
    EXPECT_EQ(platform::readText(message.payload), "http://a.example/clip.wmv");
}

TEST(CopyDataPayload, ATextMustEndInsideItsPayload) {
    EXPECT_THROW(platform::readText("no zero byte"), platform::CopyDataError);
    EXPECT_THROW(platform::readText(""), platform::CopyDataError);
    // The text stops at its first zero byte, wherever the payload ends.
    EXPECT_EQ(platform::readText(std::string("ab\0cd\0", 6)), "ab");
}

TEST(CopyDataPayload, ARecordIsSixtyThreeBytesAndComesBackWhole) {
    const CopyData message = platform::recordMessage({"sample", -123456, 45000.75});
    EXPECT_EQ(message.kind, 2u);
    ASSERT_EQ(message.payload.size(), 63u);
    EXPECT_EQ(message.payload[0], 6);
    const auto record = platform::readRecord(message.payload);
    EXPECT_EQ(record.s, "sample");
    EXPECT_EQ(record.i, -123456);
    EXPECT_EQ(record.d, 45000.75);
}

TEST(CopyDataPayload, AShortStringOfFiftyOneCharactersIsCutToFifty) {
    std::string payload = platform::recordMessage({"", 5, 1.0}).payload;
    payload[0] = 51;
    for (int k = 1; k <= 50; ++k)
        payload[k] = static_cast<char>('a' + k % 26);
    const auto record = platform::readRecord(payload);
    EXPECT_EQ(record.s.size(), 50u);
    EXPECT_EQ(record.i, 5); // the length byte did not pull the integer into the text
    payload[0] = static_cast<char>(255);
    EXPECT_EQ(platform::readRecord(payload).s.size(), 50u);
    // Sending a longer string cuts it too.
    EXPECT_EQ(platform::readRecord(platform::recordMessage({std::string(70, 'x'), 0, 0}).payload).s,
              std::string(50, 'x'));
}

TEST(CopyDataPayload, ARecordThatIsNotSixtyThreeBytesIsRefused) {
    const std::string whole = platform::recordMessage({"s", 1, 2}).payload;
    EXPECT_THROW(platform::readRecord(whole.substr(0, 62)), platform::CopyDataError);
    EXPECT_THROW(platform::readRecord(whole + "x"), platform::CopyDataError);
    EXPECT_THROW(platform::readRecord(""), platform::CopyDataError);
}

TEST(CopyDataPayload, MoreThanOneMebibyteIsNotFramed) {
    EXPECT_NO_THROW(platform::frame({1, std::string(1 << 20, 'x')}));
    EXPECT_THROW(platform::frame({1, std::string((1 << 20) + 1, 'x')}), platform::CopyDataError);
}

TEST(CopyDataPayload, SocketNamesKeepToTheirFolder) {
    EXPECT_EQ(platform::receiverSocketPrefix("TReceiverMainForm", "ReceiverMainForm"),
              "TReceiverMainForm.ReceiverMainForm.");
    EXPECT_EQ(platform::receiverSocketPrefix("../x", "a b/c"), "%2E%2E%2Fx.a%20b%2Fc.");
}

// --- the folder ---

struct RuntimeDir {
    explicit RuntimeDir(const std::string& path) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR"))
            old_ = old;
        ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~RuntimeDir() {
        if (old_.empty())
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    }
    std::string old_;
};

TEST_F(CopyDataFixture, TheFolderAndTheSocketAreTheOwnersOnly) {
    RuntimeDir runtime(tmp.path().string());
    const std::string folder = platform::copyDataDirectory();
    EXPECT_EQ(folder, tmp.file("zorvex-copydata"));
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);

    CopyDataListener listener(
        "TReceiverMainForm", "ReceiverMainForm", [](std::function<void()>) {},
        [](const CopyDataListener::Received&) { return 0; });
    EXPECT_EQ(std::filesystem::path(listener.path()).parent_path(), folder);
    ASSERT_EQ(::stat(listener.path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(CopyDataFixture, AFolderOpenToOthersOrOfAnotherUserIsRefused) {
    RuntimeDir runtime(tmp.path().string());
    const std::string folder = tmp.file("zorvex-copydata");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_THROW(platform::copyDataDirectory(), std::runtime_error);
    // Nobody is found there either, and nothing is sent.
    const auto result = platform::deliverCopyData("TReceiverMainForm", "ReceiverMainForm",
                                                  platform::textMessage("x"));
    EXPECT_FALSE(result.found);
    EXPECT_NE(result.error.find("other users may enter it"), std::string::npos) << result.error;

    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the folder to another user needs root";
    ASSERT_EQ(::chown(folder.c_str(), 4242, 4242), 0);
    EXPECT_THROW(platform::copyDataDirectory(), std::runtime_error);
}

// --- receiving ---

TEST_F(CopyDataFixture, AWholeMessageReachesTheHandlerAndItsAnswerTheSender) {
    auto listener = listen(3);
    UniqueFd fd = connectTo(listener->path());
    sendAll(fd.get(), platform::frame(platform::textMessage("hello")));
    ASSERT_TRUE(ui.runOne());
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].sender, ::getpid());
    EXPECT_EQ(received[0].problem, "");
    EXPECT_EQ(received[0].message.kind, 0u);
    EXPECT_EQ(received[0].message.payload, std::string("hello\0", 6));
    EXPECT_EQ(readAnswer(fd.get()), 3);
}

TEST_F(CopyDataFixture, ATruncatedMessageIsDroppedWithWhatWasMissing) {
    auto listener = listen();
    UniqueFd fd = connectTo(listener->path());
    sendAll(fd.get(), header(0, 100) + "only part");
    ::shutdown(fd.get(), SHUT_WR);
    ASSERT_TRUE(ui.runOne());
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].problem, "it ended after 17 of its 108 bytes");
    EXPECT_EQ(readAnswer(fd.get()), 7);

    // A header cut short.
    UniqueFd second = connectTo(listener->path());
    sendAll(second.get(), "abc");
    ::shutdown(second.get(), SHUT_WR);
    ASSERT_TRUE(ui.runOne());
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].problem, "it ended after 3 of its 8 header bytes");
}

TEST_F(CopyDataFixture, AConnectionThatSendsNothingIsClosedUnanswered) {
    auto listener = listen();
    { UniqueFd idle = connectTo(listener->path()); }
    // The next sender is served; the empty one never reached the handler.
    UniqueFd fd = connectTo(listener->path());
    sendAll(fd.get(), platform::frame(platform::textMessage("after")));
    ASSERT_TRUE(ui.runOne());
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].problem, "");
}

TEST_F(CopyDataFixture, AMessageOfMoreThanOneMebibyteIsRefusedUnread) {
    auto listener = listen();
    UniqueFd fd = connectTo(listener->path());
    // Only the header: the listener must not wait for the payload it announces.
    sendAll(fd.get(), header(1, (1 << 20) + 1));
    ASSERT_TRUE(ui.runOne());
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].problem, "its 1048577 bytes are more than 1 MiB");
    EXPECT_EQ(received[0].message.payload, "");
    EXPECT_EQ(readAnswer(fd.get()), 7);
}

TEST_F(CopyDataFixture, AnUnknownKindArrivesAsSent) {
    auto listener = listen();
    UniqueFd fd = connectTo(listener->path());
    sendAll(fd.get(), platform::frame({0x107, "abc"}));
    ASSERT_TRUE(ui.runOne());
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message.kind, 0x107u);
    EXPECT_EQ(received[0].message.payload, "abc");
    EXPECT_EQ(received[0].problem, "");
}

TEST_F(CopyDataFixture, AHandlerThatFailsAnswersZeroAndItsErrorGoesOn) {
    CopyDataListener listener(
        "TReceiverMainForm", "ReceiverMainForm",
        [this](std::function<void()> fn) { ui.post(std::move(fn)); },
        [](const CopyDataListener::Received&) -> std::int32_t {
            throw std::runtime_error("not a picture");
        },
        tmp.path().string());
    UniqueFd fd = connectTo(listener.path());
    sendAll(fd.get(), platform::frame({1, "junk"}));
    EXPECT_THROW(ui.runOne(), std::runtime_error);
    EXPECT_EQ(readAnswer(fd.get()), 0);
}

TEST_F(CopyDataFixture, WorkPostedBeforeTheListenerWentIsDropped) {
    auto listener = listen();
    const std::string path = listener->path();
    UniqueFd fd = connectTo(path);
    sendAll(fd.get(), platform::frame(platform::textMessage("late")));
    ASSERT_TRUE(ui.waitPosted());
    listener.reset();
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(ui.runOne());
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(readAnswer(fd.get()), -1);
}

// --- sending ---

TEST_F(CopyDataFixture, NoReceiverMeansNotFound) {
    const auto result = platform::deliverCopyData("TReceiverMainForm", "ReceiverMainForm",
                                                  platform::textMessage("x"),
                                                  std::chrono::seconds(10), tmp.path().string());
    EXPECT_FALSE(result.found);
    EXPECT_EQ(result.error, "no receiver window is running");
}

TEST_F(CopyDataFixture, AStaleSocketOfADeadProgramIsRemovedAndNotUsed) {
    const std::string stale = tmp.file("TReceiverMainForm.ReceiverMainForm.999999-0");
    {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, stale.data(), stale.size());
        ASSERT_EQ(::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::chmod(stale.c_str(), 0600);
    } // closed without listening: the program that made it is gone
    const auto result = platform::deliverCopyData("TReceiverMainForm", "ReceiverMainForm",
                                                  platform::textMessage("x"),
                                                  std::chrono::seconds(10), tmp.path().string());
    EXPECT_FALSE(result.found);
    EXPECT_FALSE(std::filesystem::exists(stale));
}

TEST_F(CopyDataFixture, ASocketOwnedBySomeoneElseIsNeverUsed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a socket to another user needs root";
    auto listener = listen();
    ASSERT_EQ(::chown(listener->path().c_str(), 4242, 4242), 0);
    const auto result = platform::deliverCopyData("TReceiverMainForm", "ReceiverMainForm",
                                                  platform::textMessage("x"),
                                                  std::chrono::seconds(10), tmp.path().string());
    EXPECT_FALSE(result.found);
    EXPECT_TRUE(received.empty());
    // Not taken for stale either: it is another user's file.
    EXPECT_TRUE(std::filesystem::exists(listener->path()));
}

TEST_F(CopyDataFixture, AReceiverOfThisProcessIsHandedTheMessageDirectly) {
    auto listener = listen(11);
    const auto result = platform::deliverCopyData("TReceiverMainForm", "ReceiverMainForm",
                                                  platform::recordMessage({"r", 2, 3}),
                                                  std::chrono::seconds(10), tmp.path().string());
    EXPECT_TRUE(result.found);
    ASSERT_TRUE(result.answer);
    EXPECT_EQ(*result.answer, 11);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message.kind, 2u);
    EXPECT_EQ(received[0].sender, ::getpid());
}

TEST_F(CopyDataFixture, AReceiverInAnotherProcessAnswersTheSender) {
    int ready[2];
    int done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ::close(done[1]);
        {
            // The child's handler runs on the reader thread: this process has no other.
            CopyDataListener listener(
                "TReceiverMainForm", "ReceiverMainForm", [](std::function<void()> fn) { fn(); },
                [](const CopyDataListener::Received& r) {
                    return static_cast<std::int32_t>(r.message.payload.size());
                },
                tmp.path().string());
            char c = 'r';
            [[maybe_unused]] auto w = ::write(ready[1], &c, 1);
            [[maybe_unused]] auto r = ::read(done[0], &c, 1);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(done[0]);
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    const auto result = platform::deliverCopyData("TReceiverMainForm", "ReceiverMainForm",
                                                  platform::textMessage("twelve chars"),
                                                  std::chrono::seconds(10), tmp.path().string());
    ::close(done[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    EXPECT_TRUE(result.found);
    ASSERT_TRUE(result.answer) << result.error;
    EXPECT_EQ(*result.answer, 13);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
