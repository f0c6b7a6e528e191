// The copy-data receiver and sender in the program: messages arrive on the receiver's
// socket, are handled on the user-interface thread with their memo lines and answer,
// and a received text plays through `playlocalvideos`.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "app/CopyDataReceiver.h"
#include "app/CopyDataSender.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Services.h"
#include "platform/CopyData.h"
#include "platform/SystemInfo.h"
#include "platform/UniqueFd.h"
#include "support/ProgramTest.h"
#include "support/TempDir.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Widgets.h"

namespace {

using platform::UniqueFd;

class CopyDataProgram : public ::testing::Test {
  protected:
    CopyDataProgram() {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR"))
            oldRuntime_ = old;
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        app::Services services;
        services.echo = std::make_unique<testsupport::FakeEcho>();
        auto shellOwner = std::make_unique<testsupport::FakeShell>();
        shell = shellOwner.get();
        services.shell = std::move(shellOwner);
        program = std::make_unique<app::Program>(app, app::Config(), ".", std::move(services));
    }
    ~CopyDataProgram() override {
        program.reset();
        if (oldRuntime_.empty())
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
    }

    app::CopyDataReceiver& receiver() { return program->receiver(); }
    std::vector<std::string> memo() { return receiver().get<ui::Memo>("cdMemo").lines(); }
    nlohmann::json state(const std::string& name) { return app.state().get(name); }

    /// Sends `bytes` as another program would, lets the window handle what arrives
    /// and returns the answer (-1: none).
    long send(const std::string& bytes, bool endEarly = false) {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        const std::string path = receiver().socketPath();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.data(), path.size());
        EXPECT_EQ(::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address),
                  0);
        EXPECT_EQ(::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
        if (endEarly)
            ::shutdown(fd.get(), SHUT_WR);
        EXPECT_TRUE(app.loop().waitForPosted(std::chrono::seconds(30)));
        app.loop().runPosted();
        unsigned char answer[4];
        std::size_t got = 0;
        while (got < 4) {
            const ssize_t n = ::recv(fd.get(), answer + got, 4 - got, 0);
            if (n <= 0)
                return -1;
            got += static_cast<std::size_t>(n);
        }
        return answer[0] | answer[1] << 8 | answer[2] << 16 | long(answer[3]) << 24;
    }
    static std::string from() { return "WM_CopyData from: " + std::to_string(::getpid()); }
    static std::string today() { return platform::localDateTime().substr(0, 10); }

    testsupport::TempDir runtime{"zorvex-runtime"};
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    std::unique_ptr<app::Program> program;
    testsupport::FakeShell* shell = nullptr;

  private:
    std::string oldRuntime_;
};

TEST_F(CopyDataProgram, TheReceiverListensFromTheStartInTheRuntimeFolder) {
    EXPECT_TRUE(memo().empty()); // the design text is cleared
    EXPECT_EQ(receiver().caption(), "ReceiverMainForm");
    EXPECT_FALSE(receiver().visible());
    const std::string path = state("receiverSocket").get<std::string>();
    EXPECT_EQ(path.rfind(runtime.file("zorvex-copydata/TReceiverMainForm.ReceiverMainForm."), 0),
              0u)
        << path;
}

TEST_F(CopyDataProgram, ATextReplacesTheMemoAndPlaysThroughPlayLocalVideos) {
    const std::string first = "/clips/first.wmv";
    EXPECT_EQ(send(platform::frame(platform::textMessage(first))), 1);
    EXPECT_EQ(memo(), std::vector<std::string>{first});
    EXPECT_EQ(state("workerLink"), first);
    EXPECT_EQ(state("playMode"), 1);
    EXPECT_EQ(state("mediaWorkerStarted"), true);
    auto& form = program->mainform();
    EXPECT_EQ(form.get<ui::Label>("Label19").caption(), "Loading..");
    EXPECT_EQ(form.get<ui::Label>("Label20").caption(), "W");
    EXPECT_TRUE(form.get<ui::Panel>("Panel5").visible());
    EXPECT_FALSE(form.get<ui::Panel>("Panel2").visible());
}

TEST_F(CopyDataProgram, AfterTwoTextsTheMemoHoldsOnlyTheSecond) {
    send(platform::frame(platform::textMessage("one")));
    EXPECT_EQ(send(platform::frame(platform::textMessage("two"))), 1);
    EXPECT_EQ(memo(), std::vector<std::string>{"two"});
}

TEST_F(CopyDataProgram, ARecordIsWrittenOutLineByLine) {
    EXPECT_EQ(send(platform::frame(platform::recordMessage({"sample", -42, 45000.75}))), 5);
    EXPECT_EQ(memo(), (std::vector<std::string>{from(), "Received record at " + today(),
                                                "sampleRecord.s = sample", "sampleRecord.i = -42",
                                                "sampleRecord.d = 2023-03-15"}));
}

TEST_F(CopyDataProgram, AShortStringOfFiftyOneCharactersArrivesCutToFifty) {
    std::string payload = platform::recordMessage({"", 1, 0}).payload;
    payload[0] = 51;
    for (int k = 1; k <= 50; ++k)
        payload[k] = 'q';
    send(platform::frame({2, payload}));
    ASSERT_EQ(memo().size(), 5u);
    EXPECT_EQ(memo()[2], "sampleRecord.s = " + std::string(50, 'q'));
    EXPECT_EQ(memo()[3], "sampleRecord.i = 1");
    EXPECT_EQ(memo()[4], "sampleRecord.d = 1899-12-30");
}

TEST_F(CopyDataProgram, AnImageGoesIntoReceivedImage) {
    std::vector<std::uint8_t> rgb(40 * 30 * 3, 200);
    const auto jpeg = ui::Picture::encodeJpeg(40, 30, rgb);
    EXPECT_EQ(send(platform::frame(platform::imageMessage(std::string(jpeg.begin(), jpeg.end())))),
              2);
    EXPECT_EQ(memo(), (std::vector<std::string>{from(), "Received image at " + today()}));
    const auto& picture = receiver().get<ui::Image>("receivedImage").picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->naturalWidth(), 40);
}

TEST_F(CopyDataProgram, AnImageThatCannotBeReadShowsTheErrorAndAnswersZero) {
    EXPECT_EQ(send(platform::frame(platform::imageMessage("not a picture"))), 0);
    EXPECT_EQ(memo(), std::vector<std::string>{from()});
    ASSERT_FALSE(app.dialogs().log().empty());
}

TEST_F(CopyDataProgram, AnUnknownKindOnlyAddsItsSender) {
    EXPECT_EQ(send(platform::frame({7, "whatever"})), 1);
    EXPECT_EQ(memo(), std::vector<std::string>{from()});
    // The low byte tells the kind: 0x100 is a text.
    EXPECT_EQ(send(platform::frame({0x100, std::string("low byte\0", 9)})), 1);
    EXPECT_EQ(memo(), std::vector<std::string>{"low byte"});
}

TEST_F(CopyDataProgram, BadMessagesAreDroppedWithAMemoLine) {
    // A text with no end inside its payload is not read past it, nor played.
    EXPECT_EQ(send(platform::frame({0, "abcde"})), 2);
    EXPECT_EQ(memo()[1], "Dropped the copy-data message: the text does not end inside its 5 bytes");
    EXPECT_EQ(state("workerLink"), "");
    // A record that is not 63 bytes.
    send(platform::frame({2, std::string(62, 'r')}));
    EXPECT_EQ(memo()[3], "Dropped the copy-data message: a record is 63 bytes, not 62");
    // Cut short by its sender.
    send(platform::frame(platform::textMessage("a link")).substr(0, 10), true);
    EXPECT_EQ(memo()[5], "Dropped the copy-data message: it ended after 10 of its 15 bytes");
    // More than 1 MiB, announced by the header alone.
    std::string header = platform::frame({1, ""}).substr(0, 4);
    header += std::string("\x01\x00\x10\x00", 4); // 1 MiB + 1
    send(header);
    EXPECT_EQ(memo()[7], "Dropped the copy-data message: its 1048577 bytes are more than 1 MiB");
    EXPECT_EQ(state("workerLink"), "");
    EXPECT_EQ(state("mediaWorkerStarted"), false);
}

TEST_F(CopyDataProgram, SendTextReachesTheProgramsOwnReceiver) {
    auto& sender = program->sender();
    EXPECT_EQ(sender.caption(), "CopyData Sender");
    app.dispatch([&] {
        const auto result = sender.SendText("/clips/own.wmv");
        EXPECT_TRUE(result.found);
        EXPECT_EQ(result.answer, 1);
    });
    EXPECT_EQ(state("lastSentText"), "/clips/own.wmv");
    EXPECT_EQ(memo(), std::vector<std::string>{"/clips/own.wmv"});
    EXPECT_EQ(state("workerLink"), "/clips/own.wmv");
    EXPECT_TRUE(shell->opened.empty());
}

TEST_F(CopyDataProgram, WithNoReceiverTheTextOpensInTheBrowser) {
    const std::string path = receiver().socketPath();
    // The receiver's socket gone: no receiver window is found.
    program.reset();
    ASSERT_FALSE(std::filesystem::exists(path));
    ui::Application other(ui::EventLoop::ClockKind::Virtual);
    testsupport::FakeShell browser;
    app::CopyDataSender alone(other, browser);
    const auto result = alone.SendText("http://127.0.0.1:8103/index.html");
    EXPECT_FALSE(result.found);
    EXPECT_EQ(browser.opened, std::vector<std::string>{"http://127.0.0.1:8103/index.html"});
}

TEST_F(CopyDataProgram, OpenLinkMaximisedGoesStraightToTheBrowser) {
    program->sender().OpenLinkMaximised("http://127.0.0.1:8103/help.html");
    EXPECT_EQ(shell->opened, std::vector<std::string>{"http://127.0.0.1:8103/help.html"});
    EXPECT_TRUE(memo().empty());
    EXPECT_EQ(state("lastSentText"), "");
}

TEST(CopyDataDate, TheDatePartOfADayCount) {
    EXPECT_EQ(app::copyDataDate(0), "1899-12-30");
    EXPECT_EQ(app::copyDataDate(45000.999), "2023-03-15");
    EXPECT_EQ(app::copyDataDate(-1.25), "1899-12-29");
    EXPECT_EQ(app::copyDataDate(2), "1900-01-01");
    EXPECT_EQ(app::copyDataDate(1e300), "(not a date)");
    EXPECT_EQ(app::copyDataDate(std::nan("")), "(not a date)");
}

} // namespace
