#include <gtest/gtest.h>

#include "HttpTestServer.h"
#include "platform/CurlDownloader.h"
#include "platform/CurlLibrary.h"
#include "support/TempDir.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using platform::CurlDownloader;
using platform::DownloadLimits;
using platform::DownloadStatus;
using platformtest::HttpTestServer;
using platformtest::Route;

constexpr std::uint64_t eightMiB = 8u * 1024u * 1024u;
const std::string page = "<html><body>Killer clip: mms://media.example/clip.asf</body></html>";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct CurlDownloaderFixture : ::testing::Test {
    testsupport::TempDir tmp{"zorvex-download"};
    HttpTestServer server;
    std::string work = tmp.file("ok.htm");

    CurlDownloaderFixture() {
        // Loopback tests must not be sent through a proxy from the environment.
        for (const char* name :
             {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            ::unsetenv(name);

        server.route("/page", {Route::Kind::Answer, 200, {}, page, 0});
        server.route("/missing", {Route::Kind::Answer, 404, {}, "<html>not here</html>", 0});
        server.route("/redirect", {Route::Kind::Answer, 302, {"Location: /page"}, "", 0});
        server.route("/redirect-absolute",
                     {Route::Kind::Answer, 301, {"Location: " + server.url("/redirect")}, "", 0});
        server.route("/redirect-file",
                     {Route::Kind::Answer, 302, {"Location: file:///etc/hostname"}, "", 0});
        server.route("/redirect-ftp",
                     {Route::Kind::Answer, 302, {"Location: ftp://127.0.0.1/x"}, "", 0});
        server.route("/redirect-loop",
                     {Route::Kind::Answer, 302, {"Location: /redirect-loop"}, "", 0});
        server.route("/exact", {Route::Kind::Stream, 200, {}, "", eightMiB});
        server.route("/announced-big",
                     {Route::Kind::Answer, 200, {}, std::string(eightMiB + 1, 'y'), 0});
        server.route("/streamed-big", {Route::Kind::Stream, 200, {}, "", eightMiB + 512 * 1024});
        server.route("/silent", {Route::Kind::Silent, 200, {}, "", 0});
        server.route("/stall", {Route::Kind::StallInBody, 200, {}, std::string(1000, 'z'), 0});
        tmp.write("ok.htm", "stale page from the last fetch");
    }
};

TEST_F(CurlDownloaderFixture, PagesArriveWholeAndRedirectsAreFollowed) {
    // libcurl is loaded by the first download, not by making a downloader.
    CurlDownloader downloader;
    EXPECT_FALSE(platform::curlLibraryLoaded());
    for (const std::string path : {"/page", "/redirect", "/redirect-absolute"}) {
        SCOPED_TRACE(path);
        tmp.write("ok.htm", "stale page from the last fetch");
        const auto result = downloader.download(server.url(path), work);
        EXPECT_TRUE(result.ok()) << result.message;
        EXPECT_EQ(result.httpStatus, 200);
        EXPECT_EQ(result.bytes, page.size());
        EXPECT_EQ(result.message, "");
        EXPECT_EQ(readFile(work), page);
        EXPECT_TRUE(platform::curlLibraryLoaded());
    }
    // The scheme is matched without regard to case.
    auto upper = server.url("/page");
    upper.replace(0, 4, "HTTP");
    EXPECT_TRUE(downloader.download(upper, work).ok());
    const auto seen = server.paths();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "/page"), 4);
}

TEST_F(CurlDownloaderFixture, EveryFailureLeavesTheFileEmptyAndSaysWhy) {
    struct Case {
        std::string url;
        DownloadStatus status;
        long httpStatus;
    };
    const int closedPort = [] {
        // A port that was just free: nothing listens there.
        platform::UniqueFd s(::socket(AF_INET, SOCK_STREAM, 0));
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(s.get(), reinterpret_cast<sockaddr*>(&addr), &len);
        return static_cast<int>(ntohs(addr.sin_port));
    }();
    const std::vector<Case> cases = {
        {server.url("/missing"), DownloadStatus::HttpError, 404},
        {server.url("/no-such-route"), DownloadStatus::HttpError, 404},
        {server.url("/announced-big"), DownloadStatus::TooLarge, 200},
        {server.url("/streamed-big"), DownloadStatus::TooLarge, 200},
        {server.url("/redirect-file"), DownloadStatus::UnsupportedScheme, 302},
        {server.url("/redirect-ftp"), DownloadStatus::UnsupportedScheme, 302},
        {server.url("/redirect-loop"), DownloadStatus::NetworkError, 302},
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/page", DownloadStatus::NetworkError,
         0},
    };
    CurlDownloader downloader;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        tmp.write("ok.htm", "stale page from the last fetch");
        const auto result = downloader.download(c.url, work);
        EXPECT_EQ(result.status, c.status) << result.message;
        EXPECT_EQ(result.httpStatus, c.httpStatus);
        EXPECT_EQ(result.bytes, 0u);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(readFile(work), "");
    }
}

TEST_F(CurlDownloaderFixture, TheSizeLimitAllowsItsOwnSizeAndCanBeLowered) {
    const auto full = CurlDownloader{}.download(server.url("/exact"), work);
    EXPECT_TRUE(full.ok()) << full.message;
    EXPECT_EQ(full.bytes, eightMiB);
    EXPECT_EQ(readFile(work).size(), eightMiB);

    DownloadLimits small;
    small.maxBytes = page.size() - 1;
    const auto cut = CurlDownloader{small}.download(server.url("/page"), work);
    EXPECT_EQ(cut.status, DownloadStatus::TooLarge);
    EXPECT_EQ(readFile(work), "");

    small.maxBytes = page.size();
    EXPECT_TRUE(CurlDownloader{small}.download(server.url("/page"), work).ok());
}

TEST_F(CurlDownloaderFixture, ServersThatStopAnsweringRunIntoTheTimeLimit) {
    DownloadLimits quick;
    quick.timeLimit = std::chrono::milliseconds(400);
    CurlDownloader downloader(quick);
    for (const std::string path : {"/silent", "/stall"}) {
        SCOPED_TRACE(path);
        tmp.write("ok.htm", "stale page from the last fetch");
        const auto result = downloader.download(server.url(path), work);
        EXPECT_EQ(result.status, DownloadStatus::TimedOut) << result.message;
        // The part of the body that did arrive is thrown away.
        EXPECT_EQ(readFile(work), "");
    }
    // Defaults: 8 MiB and 20 seconds.
    EXPECT_EQ(CurlDownloader{}.limits().maxBytes, eightMiB);
    EXPECT_EQ(CurlDownloader{}.limits().timeLimit, std::chrono::seconds(20));
}

TEST_F(CurlDownloaderFixture, OtherSchemesAreRefusedWithoutTouchingTheNetwork) {
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.port());
    CurlDownloader downloader;
    for (const std::string& url : std::vector<std::string>{
             "file:///etc/hostname", "ftp://" + hostPort + "/page", "mms://" + hostPort + "/page",
             "FILE:///etc/hostname", "gopher://" + hostPort + "/page", hostPort + "/page",
             "//" + hostPort + "/page", "httpx://" + hostPort + "/page", std::string()}) {
        SCOPED_TRACE(url);
        tmp.write("ok.htm", "stale page from the last fetch");
        const auto result = downloader.download(url, work);
        EXPECT_EQ(result.status, DownloadStatus::UnsupportedScheme);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(readFile(work), "");
    }
    EXPECT_EQ(server.connections(), 0);
    // Nothing was downloaded, so libcurl was never loaded.
    EXPECT_FALSE(platform::curlLibraryLoaded());
}

TEST_F(CurlDownloaderFixture, AFileThatCannotBeMadeIsReported) {
    const auto result =
        CurlDownloader{}.download(server.url("/page"), tmp.file("no-such-dir/ok.htm"));
    EXPECT_EQ(result.status, DownloadStatus::FileError);
    EXPECT_NE(result.message.find("no-such-dir"), std::string::npos);
    EXPECT_EQ(server.connections(), 0);
}

} // namespace
