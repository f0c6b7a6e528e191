// The demo web site as scripts/demo-web runs it: lighttpd on a free port of
// 127.0.0.1, serving the shipped pages in demo/web and a media folder under
// /media/. Each test starts its own server and stops it again.

#include <gtest/gtest.h>

#include "platform/UniqueFd.h"
#include "support/TempDir.h"
#include "web/WebAddresses.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::filesystem::path sourceDir = ZORVEX_SOURCE_DIR;
const std::filesystem::path siteRoot = sourceDir / "demo" / "web";

// Runs scripts/demo-web with `args` and returns its exit status (-1: did not end
// normally).
int demoWeb(const std::vector<std::string>& args) {
    std::vector<std::string> all = {(sourceDir / "scripts" / "demo-web").string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

sockaddr_in loopback(const char* address, int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address, &addr.sin_addr);
    return addr;
}

// A port of 127.0.0.1 that nothing listens on: the kernel's choice for a socket
// bound to port 0, released again.
int freePort() {
    platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in addr = loopback("127.0.0.1", 0);
    socklen_t length = sizeof addr;
    if (!fd || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &length) != 0)
        throw std::runtime_error("cannot find a free port");
    return ntohs(addr.sin_port);
}

struct Reply {
    int status = 0;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

// One request over its own connection, read until the server closes it.
Reply get(int port, const std::string& target, const std::string& extraHeaders = "") {
    Reply reply;
    platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in addr = loopback("127.0.0.1", port);
    if (!fd || ::connect(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ADD_FAILURE() << "cannot connect to port " << port;
        return reply;
    }
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                                extraHeaders + "Connection: close\r\n\r\n";
    if (::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        ADD_FAILURE() << "cannot send the request";
        return reply;
    }
    std::string raw;
    char buffer[8192];
    for (;;) {
        // Only there so that a broken server fails the test instead of hanging it.
        pollfd p{fd.get(), POLLIN, 0};
        if (::poll(&p, 1, 60'000) <= 0) {
            ADD_FAILURE() << "no answer";
            break;
        }
        const ssize_t n = ::recv(fd.get(), buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        raw.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t headEnd = raw.find("\r\n\r\n");
    if (headEnd == std::string::npos || !raw.starts_with("HTTP/1.1 ")) {
        ADD_FAILURE() << "not an HTTP answer: " << raw.substr(0, 200);
        return reply;
    }
    reply.status = std::stoi(raw.substr(9, 3));
    std::istringstream head(raw.substr(0, headEnd));
    std::string line;
    std::getline(head, line);
    while (std::getline(head, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        reply.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
    }
    reply.body = raw.substr(headEnd + 4);
    return reply;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of /proc/net/tcp or tcp6 for sockets listening on `port`, as their
// local address in the kernel's hex notation.
std::vector<std::string> listeners(const std::string& table, int port) {
    std::ifstream in("/proc/net/" + table);
    std::string line;
    std::getline(in, line); // column titles
    std::vector<std::string> addresses;
    char portHex[8];
    std::snprintf(portHex, sizeof portHex, "%04X", port);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        const std::size_t colon = local.rfind(':');
        if (state == "0A" && colon != std::string::npos && local.substr(colon + 1) == portHex)
            addresses.push_back(local.substr(0, colon));
    }
    return addresses;
}

class DemoSite : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string clip(64 * 1024, '\0');
        for (std::size_t i = 0; i < clip.size(); ++i)
            clip[i] = static_cast<char>((i * 7 + i / 256) & 0xff);
        std::filesystem::create_directory(tmp_.path() / "media");
        clip_ = clip;
        tmp_.write("media/clip.wmv", clip_);
        port_ = freePort();
        ASSERT_EQ(demoWeb(options("start")), 0) << "scripts/demo-web start failed; is lighttpd "
                                                   "installed (scripts/bootstrap)?";
    }
    void TearDown() override { EXPECT_EQ(demoWeb(options("stop")), 0); }

    std::vector<std::string> options(const std::string& command) const {
        return {command,          "--port",      std::to_string(port_), "--rundir",
                tmp_.file("run"), "--media-dir", tmp_.file("media")};
    }

    testsupport::TempDir tmp_{"zorvex-demo-web"};
    std::string clip_;
    int port_ = 0;
};

TEST_F(DemoSite, ServesTheStartPageAsHtml) {
    const Reply r = get(port_, "/TV/zorvex.php");
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(r.headers.at("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(r.body, readFile(siteRoot / "TV" / "zorvex.php"));
}

TEST_F(DemoSite, ServesEveryPageTheProgramOpens) {
    // The home page, the user guide, support, connection help, the news page and
    // the maker's search page.
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"/", "index.html"},
        {"/player/manual.php", "player/manual.php"},
        {"/player/support.php", "player/support.php"},
        {"/help/connection.html", "help/connection.html"},
        {"/vp/vp.php", "vp/vp.php"},
        {"/qzr/to.php?to=n&q=funny%20cats", "qzr/to.php"},
    };
    for (const auto& [target, file] : pages) {
        Reply r = get(port_, target);
        EXPECT_EQ(r.status, 200) << target;
        EXPECT_EQ(r.headers["content-type"], "text/html; charset=utf-8") << target;
        EXPECT_EQ(r.body, readFile(siteRoot / file)) << target;
    }
    EXPECT_EQ(get(port_, "/player/no-such-page.php").status, 404);
}

TEST_F(DemoSite, ServesEveryAddressTheWebTabsAndTheMakersSearchesOpen) {
    // The addresses exactly as the program forms them for this server.
    const std::string host = "127.0.0.1:" + std::to_string(port_);
    const web::Sites sites{host, host, "google.test", "msn.test", "yahoo.test"};
    const std::vector<std::pair<std::string, std::string>> addresses = {
        {web::startPage(sites), "TV/zorvex.php"},
        {web::productRoot(sites), "index.html"},
        {web::newsPage(sites), "vp/vp.php"},
        {web::userGuidePage(sites), "player/manual.php"},
        {web::supportPage(sites), "player/support.php"},
        {web::searchAddress(web::WebSearch::TrevaloNews, sites, "rock & roll \"live\" 東京"),
         "qzr/to.php"},
        {web::searchAddress(web::WebSearch::TrevaloPodcasts, sites, "Enter Search Request"),
         "qzr/to.php"},
    };
    const std::string prefix = "http://" + host;
    for (const auto& [address, file] : addresses) {
        ASSERT_EQ(address.compare(0, prefix.size(), prefix), 0) << address;
        const Reply r = get(port_, address.substr(prefix.size()));
        EXPECT_EQ(r.status, 200) << address;
        EXPECT_EQ(r.body, readFile(siteRoot / file)) << address;
    }
}

TEST_F(DemoSite, RangeRequestsGetThePartAsked) {
    const Reply part = get(port_, "/media/clip.wmv", "Range: bytes=1000-1999\r\n");
    ASSERT_EQ(part.status, 206);
    EXPECT_EQ(part.headers.at("content-range"), "bytes 1000-1999/65536");
    EXPECT_EQ(part.headers.at("content-type"), "video/x-ms-wmv");
    EXPECT_EQ(part.body, clip_.substr(1000, 1000));

    const Reply tail = get(port_, "/media/clip.wmv", "Range: bytes=65000-\r\n");
    ASSERT_EQ(tail.status, 206);
    EXPECT_EQ(tail.body, clip_.substr(65000));

    const Reply whole = get(port_, "/media/clip.wmv");
    ASSERT_EQ(whole.status, 200);
    EXPECT_EQ(whole.headers.at("accept-ranges"), "bytes");
    EXPECT_TRUE(whole.body == clip_);
}

TEST_F(DemoSite, ListensOnTheLoopbackAddressOnly) {
    EXPECT_EQ(listeners("tcp", port_), std::vector<std::string>{"0100007F"});
    EXPECT_TRUE(listeners("tcp6", port_).empty());
    // Another loopback address reaches a server bound to every address, not ours.
    platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in other = loopback("127.0.0.2", port_);
    ASSERT_TRUE(fd);
    EXPECT_NE(::connect(fd.get(), reinterpret_cast<sockaddr*>(&other), sizeof other), 0);
    EXPECT_EQ(errno, ECONNREFUSED);
}

TEST_F(DemoSite, StatusFollowsStartAndStop) {
    EXPECT_EQ(demoWeb(options("status")), 0);
    EXPECT_EQ(demoWeb(options("start")), 0); // a second start keeps the running one
    EXPECT_EQ(demoWeb(options("stop")), 0);
    EXPECT_EQ(demoWeb(options("status")), 3);
}

} // namespace

namespace {

// The numbers after `tag` on the lines of a playlist that start with it.
std::vector<long long> tagValues(const std::string& playlist, const std::string& tag) {
    std::vector<long long> values;
    std::istringstream lines(playlist);
    std::string line;
    while (std::getline(lines, line))
        if (line.starts_with(tag))
            values.push_back(std::stoll(line.substr(tag.size())));
    return values;
}

} // namespace

TEST_F(DemoSite, TheLiveChannelIsALivePlaylistOverTheMadeSegments) {
    // Whatever query the player appends to the address, the playlist answers.
    const Reply r = get(port_, "/live/tv.m3u8?=.wmv&MSWMExt=.asf");
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(r.headers.at("content-type"), "application/vnd.apple.mpegurl");
    ASSERT_TRUE(r.body.starts_with("#EXTM3U\n")) << r.body;
    // Live: no end, a moving window of three two-second segments.
    EXPECT_EQ(r.body.find("#EXT-X-ENDLIST"), std::string::npos);
    EXPECT_EQ(tagValues(r.body, "#EXT-X-TARGETDURATION:"), (std::vector<long long>{2}));
    const auto sequence = tagValues(r.body, "#EXT-X-MEDIA-SEQUENCE:");
    ASSERT_EQ(sequence.size(), 1u);
    std::vector<std::string> segments;
    std::istringstream lines(r.body);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty() && line[0] != '#')
            segments.push_back(line);
    ASSERT_EQ(segments.size(), 3u);
    for (std::size_t i = 0; i < segments.size(); ++i)
        EXPECT_EQ(segments[i], "/media/live/seg" + std::to_string((sequence[0] + i) % 6) + ".ts");
    // A wrap to the first segment is a discontinuity.
    const bool wraps = r.body.find("seg0.ts") != std::string::npos;
    EXPECT_EQ(r.body.find("#EXT-X-DISCONTINUITY\n") != std::string::npos, wraps);

    // The segments come from the media folder.
    std::filesystem::create_directory(tmp_.path() / "media" / "live");
    tmp_.write("media/live/seg1.ts", "segment one");
    const Reply segment = get(port_, "/media/live/seg1.ts");
    ASSERT_EQ(segment.status, 200);
    EXPECT_EQ(segment.headers.at("content-type"), "video/mp2t");
    EXPECT_EQ(segment.body, "segment one");
    // The script behind the playlist is not served as a file.
    const Reply script = get(port_, "/live/tv.cgi");
    EXPECT_EQ(script.body.find("count="), std::string::npos);
}
