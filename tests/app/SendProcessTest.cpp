// `zorvex --send TEXT` against a real running program: one headless program with
// its automation socket, one sending process, and the link playing in the first.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "MediaClips.h"
#include "app/CommandLine.h"
#include "platform/UniqueFd.h"
#include "support/Eventually.h"
#include "support/TempDir.h"

namespace {

using nlohmann::json;
using platform::UniqueFd;

const std::string zorvex = ZORVEX_BINARY_DIR "/zorvex";

struct Outcome {
    int status = -1;
    std::string output; ///< standard output and error together
};

// Runs `argv` to its end, with its output captured.
Outcome runToEnd(const std::vector<std::string>& argv, const std::string& cwd = "") {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
            ::_exit(126);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    Outcome outcome;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(out[0], chunk, sizeof chunk)) > 0)
        outcome.output.append(chunk, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

class SendToRunningProgram : public ::testing::Test {
  protected:
    SendToRunningProgram() {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR"))
            oldRuntime_ = old;
        // Both processes meet in a runtime folder of this test's own.
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    }
    ~SendToRunningProgram() override {
        if (program_ > 0) {
            ::kill(program_, SIGKILL);
            ::waitpid(program_, nullptr, 0);
        }
        if (oldRuntime_.empty())
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
    }

    /// Starts the headless program with its automation socket.
    void startProgram() {
        const std::string socket = runtime.file("automation.sock");
        program_ = ::fork();
        ASSERT_GE(program_, 0);
        if (program_ == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            const std::string automation = "--automation=unix:" + socket;
            const std::string workdir = workdir_.path().string();
            ::execl(zorvex.c_str(), zorvex.c_str(), "--headless", automation.c_str(), "--workdir",
                    workdir.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_TRUE(testsupport::eventually([&] { return connect(socket); }))
            << "the program's automation socket did not come up";
    }

    bool connect(const std::string& path) {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.data(), path.size());
        if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            return false;
        automation_ = std::move(fd);
        return true;
    }

    /// One automation request and its reply.
    json request(const json& command) {
        const std::string line = json{{"id", ++id_}, {"command", command}}.dump() + "\n";
        EXPECT_EQ(::send(automation_.get(), line.data(), line.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(line.size()));
        std::string reply;
        char c;
        while (::read(automation_.get(), &c, 1) == 1 && c != '\n')
            reply.push_back(c);
        return reply.empty() ? json() : json::parse(reply);
    }
    json state(const std::string& name) { return request({"state", name})["data"]; }
    /// Waits for the program to end; its exit status.
    int waitForExit() {
        int status = 0;
        ::waitpid(program_, &status, 0);
        program_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testsupport::TempDir runtime{"zorvex-runtime"};

  private:
    testsupport::TempDir workdir_{"zorvex-workdir"};
    UniqueFd automation_;
    pid_t program_ = -1;
    int id_ = 0;
    std::string oldRuntime_;
};

TEST_F(SendToRunningProgram, TheRunningProgramPlaysTheLinkItIsSent) {
    mediatest::MediaClips clips;
    std::string clip;
    if (const char* media = std::getenv("ZORVEX_MEDIA_DIR");
        media && std::filesystem::exists(std::string(media) + "/demo-clip.wmv"))
        clip = std::string(media) + "/demo-clip.wmv";
    else
        clip = clips.clip("wmv");

    startProgram();
    ASSERT_NE(state("receiverSocket"), "");

    const Outcome sent = runToEnd({zorvex, "--send", clip});
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_EQ(sent.output, "");

    EXPECT_TRUE(testsupport::eventually([&] { return state("workerStatus") == "Playing"; }))
        << state("workerStatus");
    EXPECT_EQ(state("workerLink"), clip);
    EXPECT_EQ(state("playMode"), 1);
    const json memo = request({"get", "ReceiverMainForm.cdMemo"})["data"];
    EXPECT_EQ(memo["text"], clip) << memo;
    const std::string receiverSocket = state("receiverSocket");
    EXPECT_EQ(request({"quit"})["error"], "success");
    EXPECT_EQ(waitForExit(), 0);
    // The receiver's socket goes with its program.
    EXPECT_FALSE(std::filesystem::exists(receiverSocket));
}

TEST_F(SendToRunningProgram, AFileNamedRelativeToTheSenderGoesAsItsFullPath) {
    mediatest::MediaClips clips;
    const std::string clip = clips.clip("wmv");
    const auto folder = std::filesystem::path(clip).parent_path();
    startProgram();
    const std::string name = std::filesystem::path(clip).filename().string();
    const Outcome sent = runToEnd({zorvex, "--send", name}, folder.string());
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_TRUE(testsupport::eventually([&] { return state("workerLink") == clip; }))
        << state("workerLink");
    // A link is sent as it is.
    EXPECT_EQ(runToEnd({zorvex, "--send", "no-such-file.wmv"}).status, 0);
    EXPECT_TRUE(testsupport::eventually([&] {
        return request({"get", "ReceiverMainForm.cdMemo"})["data"]["text"] == "no-such-file.wmv";
    }));
}

TEST_F(SendToRunningProgram, WithNothingRunningSendFailsAndSaysSo) {
    const Outcome sent = runToEnd({zorvex, "--send", "http://127.0.0.1:8103/media/demo-clip.wmv"});
    EXPECT_EQ(sent.status, 1);
    EXPECT_NE(sent.output.find("no Zorvex is running to take the link"), std::string::npos)
        << sent.output;
}

TEST_F(SendToRunningProgram, SendStartsNoProgramOfItsOwn) {
    const Outcome sent = runToEnd({zorvex, "--send", "x", "--headless"});
    EXPECT_EQ(sent.status, 2);
    EXPECT_NE(sent.output.find("--send"), std::string::npos) << sent.output;
}

TEST(SendOption, TakesItsTextAndRunsAlone) {
    EXPECT_EQ(app::CommandLine::parse({"--send", "http://a.example/x y.wmv"}).send,
              "http://a.example/x y.wmv");
    EXPECT_EQ(app::CommandLine::parse({"--send=/clips/a.wmv"}).send, "/clips/a.wmv");
    EXPECT_FALSE(app::CommandLine::parse({}).send);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--send"},
                                                 {"--send", "x", "--headless"},
                                                 {"--send", "x", "--automation=stdio"},
                                                 {"--send", "x", "--screenshot", "s.png"}})
        EXPECT_THROW(app::CommandLine::parse(args), app::UsageError) << args.size();
    EXPECT_NE(app::CommandLine::usage().find("--send TEXT"), std::string::npos);
}

} // namespace
