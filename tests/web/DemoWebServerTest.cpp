// The demo web site's server: its request parser and path resolver on their
// own, and real requests over loopback against the shipped pages in demo/web.

#include <gtest/gtest.h>

#include "support/TempDir.h"

// The tool is a single file; compiled here without its main() so that its
// parser, resolver and server can be called directly.
#define ZORVEX_DEMO_WEB_NO_MAIN
#include "../../tools/zorvex-demo-web.cpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace {

using demoweb::parseRequest;
using demoweb::ParseStatus;
using demoweb::resolvePath;

const std::filesystem::path siteRoot = std::filesystem::path(ZORVEX_SOURCE_DIR) / "demo" / "web";

// ------------------------------------------------------------------ parser

TEST(RequestParser, ReadsRequestLineAndHeaders) {
    const auto r = parseRequest("GET /TV/zorvex.php?a=1 HTTP/1.1\r\nHost: 127.0.0.1:8090\r\n"
                                "Accept:  text/html \r\n\r\n");
    ASSERT_EQ(r.status, ParseStatus::Complete);
    EXPECT_EQ(r.request.method, "GET");
    EXPECT_EQ(r.request.target, "/TV/zorvex.php?a=1");
    EXPECT_EQ(r.request.version, "HTTP/1.1");
    ASSERT_EQ(r.request.headers.size(), 2u);
    EXPECT_EQ(r.request.headers[0].name, "Host");
    EXPECT_EQ(r.request.headers[0].value, "127.0.0.1:8090");
    EXPECT_EQ(r.request.headers[1].value, "text/html");
}

TEST(RequestParser, AcceptsBareLineFeedsAndHttp10) {
    const auto r = parseRequest("HEAD / HTTP/1.0\nUser-Agent: test\n\n");
    ASSERT_EQ(r.status, ParseStatus::Complete);
    EXPECT_EQ(r.request.method, "HEAD");
    EXPECT_EQ(r.request.version, "HTTP/1.0");
}

TEST(RequestParser, ReportsWhereTheHeadEnds) {
    const std::string head = "GET / HTTP/1.1\r\nHost: x\r\n\r\n";
    const auto r = parseRequest(head + "body bytes");
    ASSERT_EQ(r.status, ParseStatus::Complete);
    EXPECT_EQ(r.headEnd, head.size());
}

TEST(RequestParser, WaitsForTheBlankLine) {
    EXPECT_EQ(parseRequest("").status, ParseStatus::Incomplete);
    EXPECT_EQ(parseRequest("GET / HTTP/1.1\r\n").status, ParseStatus::Incomplete);
    EXPECT_EQ(parseRequest("GET / HTTP/1.1\r\nHost: x\r\n").status, ParseStatus::Incomplete);
    EXPECT_EQ(parseRequest("GET / HTTP/1.1\r\nHost: x\r\n\r").status, ParseStatus::Incomplete);
}

TEST(RequestParser, RefusesBadRequestLines) {
    for (const std::string line : {
             "GET /\r\n\r\n",                // no version
             "GET  / HTTP/1.1\r\n\r\n",      // two blanks
             "GET / HTTP/1.1 extra\r\n\r\n", // four parts
             "GET / HTTP/2.0\r\n\r\n",       // unknown version
             "GET / http/1.1\r\n\r\n",       // version is case-sensitive
             "G(T / HTTP/1.1\r\n\r\n",       // method is no token
             " GET / HTTP/1.1\r\n\r\n",      // leading blank
             "GET /a\x01 HTTP/1.1\r\n\r\n",  // control character in the target
             "GET /a\rb HTTP/1.1\r\n\r\n",   // bare CR inside the line
             "\r\n\r\n",                     // no request line at all
         }) {
        EXPECT_EQ(parseRequest(line).status, ParseStatus::BadRequest) << line;
    }
    const char nul[] = "GET /a\0b HTTP/1.1\r\n\r\n";
    const std::string withNul(nul, sizeof nul - 1);
    EXPECT_EQ(parseRequest(withNul).status, ParseStatus::BadRequest);
}

TEST(RequestParser, RefusesBadHeaderLines) {
    for (const std::string head : {
             "GET / HTTP/1.1\r\nNoColon\r\n\r\n",
             "GET / HTTP/1.1\r\n: empty name\r\n\r\n",
             "GET / HTTP/1.1\r\nBad Name: x\r\n\r\n",
             "GET / HTTP/1.1\r\nHost: x\r\n folded: y\r\n\r\n",
             "GET / HTTP/1.1\r\nHost: a\x7f\r\n\r\n",
             "GET / HTTP/1.1\r\nHost: a\rb\r\n\r\n",
         }) {
        EXPECT_EQ(parseRequest(head).status, ParseStatus::BadRequest) << head;
    }
}

TEST(RequestParser, RefusesHeadsLargerThan16KiB) {
    const std::string start = "GET / HTTP/1.1\r\nX-Fill: ";
    // Exactly at the limit, blank line included: still fine.
    const std::string fits =
        start + std::string(demoweb::kMaxHeadBytes - start.size() - 4, 'a') + "\r\n\r\n";
    ASSERT_EQ(fits.size(), demoweb::kMaxHeadBytes);
    EXPECT_EQ(parseRequest(fits).status, ParseStatus::Complete);
    // One byte more.
    const std::string over =
        start + std::string(demoweb::kMaxHeadBytes - start.size() - 3, 'a') + "\r\n\r\n";
    EXPECT_EQ(parseRequest(over).status, ParseStatus::TooLarge);
    // No end in sight after the limit: no need to wait for more.
    EXPECT_EQ(parseRequest(start + std::string(demoweb::kMaxHeadBytes, 'a')).status,
              ParseStatus::TooLarge);
    EXPECT_EQ(parseRequest(std::string(demoweb::kMaxHeadBytes, 'a')).status,
              ParseStatus::Incomplete);
}

// ---------------------------------------------------------------- resolver

TEST(PathResolver, RootAndFoldersNameTheirIndexPage) {
    EXPECT_EQ(resolvePath("/").relative, "index.html");
    EXPECT_EQ(resolvePath("/?q=1").relative, "index.html");
    EXPECT_EQ(resolvePath("/#top").relative, "index.html");
    EXPECT_EQ(resolvePath("/player/").relative, "player/index.html");
    EXPECT_TRUE(resolvePath("/player/").endsWithSlash);
    EXPECT_EQ(resolvePath("/player").relative, "player");
    EXPECT_FALSE(resolvePath("/player").endsWithSlash);
}

TEST(PathResolver, IgnoresTheQueryString) {
    const auto r = resolvePath("/qzr/to.php?to=n&q=../../etc/passwd");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.relative, "qzr/to.php");
    EXPECT_EQ(resolvePath("/TV/zorvex.php#x?y").relative, "TV/zorvex.php");
    EXPECT_EQ(resolvePath("/vp/vp.php?").relative, "vp/vp.php");
}

TEST(PathResolver, DecodesEscapesOnce) {
    EXPECT_EQ(resolvePath("/help/connection%2Ehtml").relative, "help/connection.html");
    EXPECT_EQ(resolvePath("/a%20b.html").relative, "a b.html");
    EXPECT_EQ(resolvePath("/a+b.html").relative, "a+b.html");
    // A doubly encoded dot-dot is the literal name "%2e%2e", not a way up.
    const auto twice = resolvePath("/%252e%252e/etc/passwd");
    EXPECT_EQ(twice.status, 200);
    EXPECT_EQ(twice.relative, "%2e%2e/etc/passwd");
}

TEST(PathResolver, CollapsesEmptyAndDotSegments) {
    EXPECT_EQ(resolvePath("/a//b/./c.html").relative, "a/b/c.html");
    // A second leading slash does not make an absolute file name.
    EXPECT_EQ(resolvePath("//etc/passwd").relative, "etc/passwd");
}

TEST(PathResolver, RefusesEveryWayUp) {
    for (const std::string target : {
             "/..",
             "/../../etc/passwd",
             "/TV/../../etc/passwd",
             "/TV/..",
             "/%2e%2e/%2e%2e/etc/passwd",
             "/%2E%2E/etc/passwd",
             "/.%2e/etc/passwd",
             "/TV/..%2f..%2fetc/passwd",
             "/TV%2f..%2f..%2fetc%2fpasswd",
             "/a\\..\\..\\etc\\passwd",
             "/a%5c..%5cetc",
             "/index.html%00.png",
             "/%00",
             "/a%0d%0aSet-Cookie:x",
         }) {
        EXPECT_EQ(resolvePath(target).status, 403) << target;
    }
}

TEST(PathResolver, RefusesMalformedTargets) {
    for (const std::string target : {"", "etc/passwd", "*", "%2fetc/passwd", "/%zz", "/%2", "/%"}) {
        EXPECT_EQ(resolvePath(target).status, 400) << target;
    }
}

TEST(PathResolver, HidesDotFiles) {
    EXPECT_EQ(resolvePath("/.git/config").status, 404);
    EXPECT_EQ(resolvePath("/player/.htaccess").status, 404);
}

TEST(PathResolver, TakesThePathOfAnAbsoluteTarget) {
    EXPECT_EQ(resolvePath("http://127.0.0.1:8090/vp/vp.php?x=1").relative, "vp/vp.php");
    EXPECT_EQ(resolvePath("HTTP://127.0.0.1:8090").relative, "index.html");
    EXPECT_EQ(resolvePath("http://host/../etc/passwd").status, 403);
}

TEST(ContentTypes, FollowTheExtension) {
    EXPECT_EQ(demoweb::contentTypeFor("TV/zorvex.php"), "text/html; charset=utf-8");
    EXPECT_EQ(demoweb::contentTypeFor("index.html"), "text/html; charset=utf-8");
    EXPECT_EQ(demoweb::contentTypeFor("INDEX.HTML"), "text/html; charset=utf-8");
    EXPECT_EQ(demoweb::contentTypeFor("site.css"), "text/css; charset=utf-8");
    EXPECT_EQ(demoweb::contentTypeFor("a.js"), "text/javascript; charset=utf-8");
    EXPECT_EQ(demoweb::contentTypeFor("logo.png"), "image/png");
    EXPECT_EQ(demoweb::contentTypeFor("shot.jpg"), "image/jpeg");
    EXPECT_EQ(demoweb::contentTypeFor("mark.svg"), "image/svg+xml");
    EXPECT_EQ(demoweb::contentTypeFor("archive.tar"), "application/octet-stream");
    EXPECT_EQ(demoweb::contentTypeFor("player.d/README"), "application/octet-stream");
}

// ------------------------------------------------------------- round trips

// A server on a free loopback port, served from a thread for the test's life.
class RunningServer {
  public:
    explicit RunningServer(const std::filesystem::path& root)
        : server_(root, "127.0.0.1", 0), thread_([this] { server_.run(); }) {}
    ~RunningServer() {
        server_.stop();
        thread_.join();
    }
    RunningServer(const RunningServer&) = delete;
    RunningServer& operator=(const RunningServer&) = delete;

    int port() const { return server_.port(); }

  private:
    demoweb::Server server_;
    std::thread thread_;
};

struct Reply {
    int status = 0;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
    std::string raw;
};

// Sends `request` exactly as given (no clean-up of the path, unlike real
// clients) and reads the answer until the server closes the connection.
Reply roundTrip(int port, const std::string& request) {
    Reply reply;
    platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!fd || ::connect(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ADD_FAILURE() << "cannot connect to port " << port;
        return reply;
    }
    EXPECT_TRUE(demoweb::detail::sendAll(fd.get(), request.data(), request.size(), -1));
    char buffer[8192];
    for (;;) {
        // Generous bound: only there so that a broken server fails the test
        // instead of hanging it.
        pollfd p{fd.get(), POLLIN, 0};
        if (::poll(&p, 1, 60'000) <= 0) {
            ADD_FAILURE() << "no answer";
            break;
        }
        const ssize_t n = ::recv(fd.get(), buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        reply.raw.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t headEnd = reply.raw.find("\r\n\r\n");
    if (headEnd == std::string::npos || !reply.raw.starts_with("HTTP/1.1 ")) {
        ADD_FAILURE() << "not an HTTP answer: " << reply.raw.substr(0, 200);
        return reply;
    }
    reply.status = std::stoi(reply.raw.substr(9, 3));
    std::istringstream head(reply.raw.substr(0, headEnd));
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
        reply.headers[name] = line.substr(colon + 2);
    }
    reply.body = reply.raw.substr(headEnd + 4);
    return reply;
}

Reply get(int port, const std::string& target, const std::string& method = "GET") {
    return roundTrip(port, method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct DemoSite : ::testing::Test {
    RunningServer server{siteRoot};
};

TEST_F(DemoSite, ServesTheStartPageAsHtml) {
    const Reply r = get(server.port(), "/TV/zorvex.php");
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(r.headers.at("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(r.headers.at("connection"), "close");
    const std::string file = readFile(siteRoot / "TV" / "zorvex.php");
    EXPECT_EQ(r.body, file);
    EXPECT_EQ(r.headers.at("content-length"), std::to_string(file.size()));
    EXPECT_NE(r.body.find("Zorvex"), std::string::npos);
}

TEST_F(DemoSite, HeadAnswersHeadersOnly) {
    const Reply r = get(server.port(), "/TV/zorvex.php", "HEAD");
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(r.headers.at("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(r.headers.at("content-length"),
              std::to_string(std::filesystem::file_size(siteRoot / "TV" / "zorvex.php")));
    EXPECT_TRUE(r.body.empty());
}

TEST_F(DemoSite, EveryPageTheProgramOpensIsThere) {
    for (const std::string target :
         {"/", "/TV/zorvex.php", "/player/manual.php", "/player/support.php",
          "/help/connection.html", "/vp/vp.php", "/qzr/to.php?to=n&q=funny%20cats",
          "/qzr/to.php?to=p&q=surf"}) {
        Reply r = get(server.port(), target);
        EXPECT_EQ(r.status, 200) << target;
        EXPECT_EQ(r.headers["content-type"], "text/html; charset=utf-8") << target;
        EXPECT_NE(r.body.find("<!DOCTYPE html>"), std::string::npos) << target;
    }
    EXPECT_EQ(get(server.port(), "/").body, readFile(siteRoot / "index.html"));
}

TEST_F(DemoSite, RefusesToLeaveTheSite) {
    for (const std::string target :
         {"/../../etc/passwd", "/TV/../../../etc/passwd", "/%2e%2e/%2e%2e/%2e%2e/etc/passwd",
          "/TV/..%2f..%2f..%2fetc/passwd", "/index.html%00.png"}) {
        const Reply r = get(server.port(), target);
        EXPECT_TRUE(r.status == 403 || r.status == 404) << target << " gave " << r.status;
        EXPECT_EQ(r.body.find("root:"), std::string::npos) << target;
    }
}

TEST_F(DemoSite, MissingPagesGet404) {
    const Reply r = get(server.port(), "/player/no-such-page.php");
    EXPECT_EQ(r.status, 404);
    EXPECT_EQ(r.headers.at("content-type"), "text/html; charset=utf-8");
    EXPECT_NE(r.body.find("404"), std::string::npos);
    EXPECT_EQ(get(server.port(), "/no-such-page.php", "HEAD").status, 404);
}

TEST_F(DemoSite, OnlyGetAndHead) {
    const Reply r = roundTrip(
        server.port(), "POST /vp/vp.php HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc");
    EXPECT_EQ(r.status, 405);
    EXPECT_EQ(r.headers.at("allow"), "GET, HEAD");
}

TEST_F(DemoSite, RefusesMalformedAndOversizedRequests) {
    EXPECT_EQ(roundTrip(server.port(), "hello there\r\n\r\n").status, 400);
    const std::string huge =
        "GET / HTTP/1.1\r\nX-Fill: " + std::string(20 * 1024, 'a') + "\r\n\r\n";
    EXPECT_EQ(roundTrip(server.port(), huge).status, 431);
    // The server is still there afterwards.
    EXPECT_EQ(get(server.port(), "/").status, 200);
}

TEST_F(DemoSite, ManyClientsAtOnce) {
    std::vector<std::thread> clients;
    std::vector<int> statuses(40, 0);
    for (std::size_t i = 0; i < statuses.size(); ++i)
        clients.emplace_back([&, i] { statuses[i] = get(server.port(), "/vp/vp.php").status; });
    for (auto& t : clients)
        t.join();
    for (int s : statuses)
        EXPECT_EQ(s, 200);
}

TEST(DemoWebServer, StopsWhileAClientSaysNothing) {
    testsupport::TempDir tmp("zorvex-web");
    tmp.write("index.html", "<!DOCTYPE html><p>hi</p>");
    demoweb::Server server(tmp.path(), "127.0.0.1", 0);
    std::thread loop([&] { server.run(); });
    platform::UniqueFd idle(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(server.port()));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(idle.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    // Once the connection has been taken on, stopping must not wait for it.
    EXPECT_EQ(roundTrip(server.port(), "GET / HTTP/1.1\r\n\r\n").status, 200);
    server.stop();
    loop.join();
    char byte;
    EXPECT_EQ(::recv(idle.get(), &byte, 1, 0), 0); // closed by the server, no answer
}

TEST(DemoWebServer, SymbolicLinksOutOfTheRootAreNotFollowed) {
    testsupport::TempDir outside("zorvex-web-outside");
    const std::string secret = outside.write("secret.html", "secret");
    testsupport::TempDir tmp("zorvex-web");
    tmp.write("inside.html", "inside");
    std::filesystem::create_directory(tmp.path() / "sub");
    tmp.write("sub/index.html", "sub index");
    std::filesystem::create_symlink(secret, tmp.path() / "leak.html");
    std::filesystem::create_symlink(outside.path(), tmp.path() / "away");
    std::filesystem::create_symlink(tmp.path() / "inside.html", tmp.path() / "alias.php");

    RunningServer server(tmp.path());
    EXPECT_EQ(get(server.port(), "/inside.html").body, "inside");
    EXPECT_EQ(get(server.port(), "/leak.html").status, 404);
    EXPECT_EQ(get(server.port(), "/away/secret.html").status, 404);
    // A link that stays inside is fine, typed by its own name.
    const Reply alias = get(server.port(), "/alias.php");
    EXPECT_EQ(alias.status, 200);
    EXPECT_EQ(alias.body, "inside");
    EXPECT_EQ(alias.headers.at("content-type"), "text/html; charset=utf-8");
}

TEST(DemoWebServer, FolderWithoutSlashIsRedirected) {
    testsupport::TempDir tmp("zorvex-web");
    std::filesystem::create_directory(tmp.path() / "sub");
    tmp.write("sub/index.html", "sub index");
    RunningServer server(tmp.path());
    const Reply r = get(server.port(), "/sub?x=1");
    EXPECT_EQ(r.status, 301);
    EXPECT_EQ(r.headers.at("location"), "/sub/");
    EXPECT_EQ(get(server.port(), "/sub/").body, "sub index");
    // A folder without an index page has nothing to show.
    std::filesystem::create_directory(tmp.path() / "empty");
    EXPECT_EQ(get(server.port(), "/empty/").status, 404);
}

TEST(DemoWebServer, RefusesARootThatIsNoFolder) {
    testsupport::TempDir tmp("zorvex-web");
    EXPECT_THROW(demoweb::Server(tmp.path() / "missing", "127.0.0.1", 0), std::runtime_error);
    const std::string file = tmp.write("plain.txt", "x");
    EXPECT_THROW(demoweb::Server(file, "127.0.0.1", 0), std::runtime_error);
}

TEST(DemoWebServer, RefusesAPortThatIsTaken) {
    testsupport::TempDir tmp("zorvex-web");
    demoweb::Server first(tmp.path(), "127.0.0.1", 0);
    EXPECT_THROW(demoweb::Server(tmp.path(), "127.0.0.1", first.port()), std::runtime_error);
}

} // namespace
