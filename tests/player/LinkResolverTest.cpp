// The link resolver against the demo web site (lighttpd on 127.0.0.1) serving
// pages, a search result, an authentication answer and a playlist made for it.
// Every download goes through the real libcurl downloader; a recording wrapper
// only notes which addresses were asked for.

#include <gtest/gtest.h>

#include "catalogue/Selection.h"
#include "platform/CurlDownloader.h"
#include "player/LinkResolver.h"
#include "support/TempDir.h"
#include "support/TempWorkdir.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Widgets.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::filesystem::path sourceDir = ZORVEX_SOURCE_DIR;

int webPort() {
    const char* port = std::getenv("ZORVEX_TEST_WEB_PORT");
    return port && *port ? std::atoi(port) : 8094;
}

int demoWeb(std::vector<std::string> args) {
    args.insert(args.begin(), (sourceDir / "scripts" / "demo-web").string());
    std::vector<char*> argv;
    for (auto& a : args)
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

// Passes every download to the real downloader and keeps the addresses.
class RecordingDownloader final : public platform::Downloader {
  public:
    explicit RecordingDownloader(platform::Downloader& real) : real_(real) {}
    platform::DownloadResult download(std::string_view url, const std::string& file) override {
        addresses.emplace_back(url);
        return real_.download(url, file);
    }
    std::vector<std::string> addresses;

  private:
    platform::Downloader& real_;
};

class LinkResolverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(demoWeb(options("start")), 0) << "scripts/demo-web start failed";
        form_.add<ui::Label>("Label16");
        form_.add<ui::Memo>("Memo1");
        form_.add<ui::Memo>("videolocationmemo");
    }
    void TearDown() override { EXPECT_EQ(demoWeb(options("stop")), 0); }

    std::vector<std::string> options(const std::string& command) const {
        return {command,          "--port",      std::to_string(webPort()), "--rundir",
                tmp_.file("run"), "--media-dir", tmp_.file("media")};
    }

    std::string site() const { return "127.0.0.1:" + std::to_string(webPort()); }
    std::string page(const std::string& path) const { return "http://" + site() + path; }

    player::ResolverSettings settings() const {
        player::ResolverSettings s;
        s.comedySearchHost = site();
        s.globoAuthHost = site();
        s.testPageHost = site();
        return s;
    }

    std::string resolve(const std::string& link, platform::Downloader& downloader) {
        player::LinkResolver resolver(form_, selection_, downloader, settings(),
                                      [this] { return ifilmKey_; });
        selection_.setPlayLink(link);
        resolver.ResolveMediaLink();
        return selection_.playLink();
    }
    std::string resolve(const std::string& link) { return resolve(link, recorder_); }

    std::string label16() const { return form_.get<ui::Label>("Label16").caption(); }
    std::string memo(const char* name) const { return form_.get<ui::Memo>(name).text(); }

    testsupport::TempWorkdir workdir_;
    testsupport::TempDir tmp_{"zorvex-resolver-web"};
    ui::Application app_{ui::EventLoop::ClockKind::Virtual};
    ui::Form form_{app_, "Form1"};
    catalogue::Selection selection_;
    std::string ifilmKey_ = "KEY42";
    platform::CurlDownloader curl_;
    RecordingDownloader recorder_{curl_};
};

TEST_F(LinkResolverTest, AnMmsWmvLinkBecomesHttpWithoutAnyDownload) {
    EXPECT_EQ(resolve("mms://H/a.wmv"), "http://H/a.wmv?MSWMExt=.asf");
    EXPECT_TRUE(recorder_.addresses.empty());
    EXPECT_EQ(memo("Memo1"), "mms://H/a.wmv");
    EXPECT_EQ(memo("videolocationmemo"), "http://H/a.wmv?MSWMExt=.asf");
    EXPECT_EQ(label16(), "No ASX Found");
}

TEST_F(LinkResolverTest, ALinkWithAQueryKeepsItAndAddsTheSuffixAfterIt) {
    EXPECT_EQ(resolve("http://H/v.wmv?id=3"), "http://H/v.wmv?id=3&MSWMExt=.asf");
    EXPECT_EQ(resolve("http://H/v.asf"), "http://H/v.asf?MSWMExt=.asf");
    EXPECT_TRUE(recorder_.addresses.empty());
}

TEST_F(LinkResolverTest, PortEightyIsRemovedAndLongerPortsStay) {
    EXPECT_EQ(resolve("http://H:80/a.wmv"), "http://H/a.wmv?MSWMExt=.asf");
    EXPECT_EQ(resolve("http://H:80?id=3.wmv"), "http://H?id=3.wmv&MSWMExt=.asf");
    EXPECT_EQ(resolve("http://H:8080/a.wmv"), "http://H:8080/a.wmv?MSWMExt=.asf");
    EXPECT_EQ(resolve("http://H:8090/a.wmv"), "http://H:8090/a.wmv?MSWMExt=.asf");
    EXPECT_TRUE(recorder_.addresses.empty());
}

TEST_F(LinkResolverTest, AnIfilmLinkTakesTheKeyAndEndsInEqualsAsf) {
    EXPECT_EQ(resolve("http://www.ifilm.example/play?l=old&id=7.wmv"),
              "http://www.ifilm.example/play?KEY42&id=7.wmv=.asf");
    EXPECT_TRUE(recorder_.addresses.empty());
}

TEST_F(LinkResolverTest, AnAolLinkLosesItsQueryBeforeTheSuffix) {
    EXPECT_EQ(resolve("http://video.aol.example/c.wmv?session=9"),
              "http://video.aol.example/c.wmv?MSWMExt=.asf");
}

TEST_F(LinkResolverTest, ComedyCentralSearchesTheEncodedTitleAndTakesTheMmsAddress) {
    selection_.setSelectionTitle("Daily Show & more");
    EXPECT_EQ(resolve("http://media.comedystorage.example/x.wmv"),
              "http://127.0.0.1:8090/media/comedy-clip.wmv?MSWMExt=.asf");
    ASSERT_EQ(recorder_.addresses.size(), 1u);
    EXPECT_EQ(recorder_.addresses[0],
              page("/motherload/search/search.jhtml?searchterm=Daily%20Show%20%26%20more"));
    EXPECT_FALSE(std::filesystem::exists("ok.htm"));
}

TEST_F(LinkResolverTest, AFailedComedySearchGivesAnEmptyLinkWithTheSuffix) {
    auto s = settings();
    selection_.setSelectionTitle("x");
    s.comedySearchHost = site() + "/missing";
    player::LinkResolver broken(form_, selection_, recorder_, s, [] { return std::string(); });
    selection_.setPlayLink("http://media.comedystorage.example/x.wmv");
    broken.ResolveMediaLink();
    EXPECT_EQ(selection_.playLink(), "?MSWMExt=.asf");
}

TEST_F(LinkResolverTest, TheTestPageAnswersTheWholeLink) {
    EXPECT_EQ(resolve("http://H/Killerffd=1"),
              "http://127.0.0.1:8090/media/demo-test.wmv?MSWMExt=.asf");
    ASSERT_EQ(recorder_.addresses.size(), 1u);
    EXPECT_EQ(recorder_.addresses[0],
              page("/player/media.php?i=Zorvex%20Test%20Video&u=www.outside.example%2Ftest.wmv"));
}

TEST_F(LinkResolverTest, GloboTakesTheSecureValueFromTheAuthentication) {
    EXPECT_EQ(resolve("http://v.globo.example/p.wmv?url=clip9"),
              "http://v.globo.example/p.wmv?url=abc123token&MSWMExt=.asf");
    ASSERT_EQ(recorder_.addresses.size(), 1u);
    EXPECT_EQ(recorder_.addresses[0], page("/ServletsCDA/PopAutentica?ID=clip9"));
}

TEST_F(LinkResolverTest, APageWithAnObjectGivesItsFirstHttpAddress) {
    EXPECT_EQ(resolve(page("/resolve/object.html")),
              "http://127.0.0.1:8094/media/object-clip.wmv?MSWMExt=.asf");
    EXPECT_EQ(label16(), "No ASX Found");
    EXPECT_EQ(recorder_.addresses.size(), 1u);
}

TEST_F(LinkResolverTest, APageWithAPlaylistShowsItAndTakesTheReference) {
    const std::string link = page("/resolve/playlist.html");
    EXPECT_EQ(resolve(page("/resolve/playlist.html")),
              "http://127.0.0.1:8094/resolve/show.asx?MSWMExt=.asf");
    EXPECT_EQ(label16(), "ASX Found");
    // The page is fetched again after the playlist address was found.
    EXPECT_EQ(recorder_.addresses, (std::vector<std::string>{link, link}));
}

TEST_F(LinkResolverTest, AnUpperCaseReferenceIsFound) {
    EXPECT_EQ(resolve(page("/resolve/upper.html")),
              "http://127.0.0.1:8094/media/upper-clip.wmv?MSWMExt=.asf");
    EXPECT_EQ(label16(), "ASX Found");
}

TEST_F(LinkResolverTest, AReferenceWithoutQuotesGivesAnEmptyLink) {
    EXPECT_EQ(resolve(page("/resolve/unquoted.html")), "?MSWMExt=.asf");
}

TEST_F(LinkResolverTest, APageWithoutMarkersLeavesTheLinkAsItWas) {
    const std::string link = page("/resolve/plain.html");
    EXPECT_EQ(resolve(page("/resolve/plain.html")), link + "?MSWMExt=.asf");
    EXPECT_EQ(label16(), "No ASX Found");
}

TEST_F(LinkResolverTest, AFailedDownloadLeavesTheLinkAsItWas) {
    const std::string missing = page("/resolve/no-such-page.html");
    EXPECT_EQ(resolve(page("/resolve/no-such-page.html")), missing + "?MSWMExt=.asf");
    // Nothing listens on port 1.
    EXPECT_EQ(resolve("http://127.0.0.1:1/x.html"), "http://127.0.0.1:1/x.html?MSWMExt=.asf");
    // Not http or https: refused before any network activity.
    EXPECT_EQ(resolve("ftp://127.0.0.1/x.html"), "ftp://127.0.0.1/x.html?MSWMExt=.asf");
    EXPECT_EQ(label16(), "No ASX Found");
    EXPECT_FALSE(std::filesystem::exists("ok.htm"));
}

TEST_F(LinkResolverTest, APageOverTheSizeLimitIsNotRead) {
    platform::CurlDownloader small(platform::DownloadLimits{64, std::chrono::milliseconds(20'000)});
    const std::string link = page("/resolve/object.html");
    EXPECT_EQ(resolve(page("/resolve/object.html"), small), link + "?MSWMExt=.asf");
    EXPECT_EQ(label16(), "No ASX Found");
}

TEST_F(LinkResolverTest, FetchPageJoinsTheLinesAndDeletesTheWorkFile) {
    player::LinkResolver resolver(form_, selection_, curl_, settings(),
                                  [] { return std::string(); });
    const std::string first = resolver.FetchPage(page("/player/media.php"));
    EXPECT_EQ(first, "http://127.0.0.1:8090/media/demo-test.wmv");
    // Without emptying, the next page is appended.
    const std::string both = resolver.FetchPage(page("/resolve/plain.html"));
    EXPECT_EQ(both, first + "<html><body><p>This page names no stream at all.</p></body></html>");
    EXPECT_FALSE(std::filesystem::exists("ok.htm"));
}

} // namespace
