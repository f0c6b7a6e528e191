// zorvex-demo-web: a small static web server for the demo product site.
//
// The program's embedded pages (the start page in the video area, "My Web
// Browser", "Latest Web News", "User Guide", "Zorvex Support") and the splash
// dialog's links point at the product site and the maker's search site. Those
// sites are gone, so this server hands out the static copies kept in demo/web/.
//
//   zorvex-demo-web --root DIR --port N [--bind 127.0.0.1]
//
// GET and HEAD only, one answer per connection. The site's pages keep their old
// ".php" addresses but are plain HTML, so ".php" is served as HTML. A query string
// never selects a file; the pages that use one read it in the browser.
//
// Nothing outside DIR is ever served: the path resolver refuses "..", encoded or
// not, NUL and backslashes before the file system is touched, and the file found
// must still lie inside DIR once symbolic links are resolved.
//
// The tests compile this file with ZORVEX_DEMO_WEB_NO_MAIN defined, so that they
// can call the request parser and the path resolver and run a server on a thread.

#include "platform/UniqueFd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace demoweb {

namespace fs = std::filesystem;

/// Largest request head (request line and header lines, blank line included).
constexpr std::size_t kMaxHeadBytes = 16 * 1024;
/// Connections served at the same time; further ones wait in the listen queue.
constexpr std::size_t kMaxConnections = 32;
/// How long a client may take to send its request head, and to take each piece
/// of the answer. A browser on the same machine needs far less; the limits only
/// keep a stalled client from holding a thread for good.
constexpr int kReadTimeoutMs = 15'000;
constexpr int kWriteTimeoutMs = 30'000;

// ---------------------------------------------------------------- request parser

struct Header {
    std::string name;  // as sent
    std::string value; // without surrounding blanks
};

struct Request {
    std::string method;  // "GET", "HEAD", ...
    std::string target;  // as sent: "/TV/zorvex.php?x=1"
    std::string version; // "HTTP/1.0" or "HTTP/1.1"
    std::vector<Header> headers;
};

enum class ParseStatus {
    Complete,   // a whole head was read and is well formed
    Incomplete, // no blank line yet; read more
    BadRequest, // malformed request line or header line
    TooLarge,   // the head is longer than kMaxHeadBytes
};

struct ParseResult {
    ParseStatus status = ParseStatus::Incomplete;
    Request request;         // filled when Complete
    std::size_t headEnd = 0; // bytes of the head, blank line included, when Complete
};

namespace detail {

bool isTokenChar(char c) {
    if (c >= 'a' && c <= 'z')
        return true;
    if (c >= 'A' && c <= 'Z')
        return true;
    if (c >= '0' && c <= '9')
        return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), isTokenChar);
}

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

// Where the head ends (just past its blank line), or npos. Lines may end in CRLF
// or, from simple clients, in a bare LF.
std::size_t findHeadEnd(std::string_view data) {
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\n')
            continue;
        std::string_view line = data.substr(lineStart, i - lineStart);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() && lineStart > 0)
            return i + 1;
        lineStart = i + 1;
    }
    return std::string_view::npos;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool parseRequestLine(std::string_view line, Request& out) {
    const std::size_t sp1 = line.find(' ');
    if (sp1 == std::string_view::npos)
        return false;
    const std::size_t sp2 = line.find(' ', sp1 + 1);
    if (sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos)
        return false;
    const std::string_view method = line.substr(0, sp1);
    const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    const std::string_view version = line.substr(sp2 + 1);
    if (!isToken(method) || target.empty() || (version != "HTTP/1.1" && version != "HTTP/1.0"))
        return false;
    if (std::any_of(target.begin(), target.end(), isControl))
        return false;
    out.method = method;
    out.target = target;
    out.version = version;
    return true;
}

} // namespace detail

/// Reads one request head from the start of `data`, which holds the bytes
/// received so far. Pure: no I/O.
ParseResult parseRequest(std::string_view data) {
    ParseResult result;
    const std::size_t headEnd = detail::findHeadEnd(data);
    if (headEnd == std::string_view::npos) {
        result.status =
            data.size() > kMaxHeadBytes ? ParseStatus::TooLarge : ParseStatus::Incomplete;
        return result;
    }
    if (headEnd > kMaxHeadBytes) {
        result.status = ParseStatus::TooLarge;
        return result;
    }
    result.status = ParseStatus::BadRequest;
    const std::string_view head = data.substr(0, headEnd);

    std::size_t pos = 0;
    bool first = true;
    while (pos < head.size()) {
        const std::size_t nl = head.find('\n', pos);
        std::string_view line = head.substr(pos, nl - pos);
        pos = nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            break; // the blank line that ends the head
        // A stray CR or NUL inside a line is how requests get smuggled past
        // other parsers; nothing legitimate sends one.
        if (line.find('\r') != std::string_view::npos || line.find('\0') != std::string_view::npos)
            return result;
        if (first) {
            if (!detail::parseRequestLine(line, result.request))
                return result;
            first = false;
            continue;
        }
        // Folded continuation lines are obsolete and refused, as the standard allows.
        if (line.front() == ' ' || line.front() == '\t')
            return result;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !detail::isToken(line.substr(0, colon)))
            return result;
        const std::string_view value = detail::trimBlanks(line.substr(colon + 1));
        if (std::any_of(value.begin(), value.end(),
                        [](char c) { return c != '\t' && detail::isControl(c); }))
            return result;
        result.request.headers.push_back({std::string(line.substr(0, colon)), std::string(value)});
    }
    if (first)
        return result; // no request line at all
    result.status = ParseStatus::Complete;
    result.headEnd = headEnd;
    return result;
}

// ----------------------------------------------------------------- path resolver

struct ResolvedPath {
    int status = 200;           // 200, or the refusal: 400, 403 or 404
    std::string relative;       // file below the root, "/"-separated: "TV/zorvex.php"
    std::string requestPath;    // the path part of the target as sent, for redirects
    bool endsWithSlash = false; // the path asked for a folder ("/player/")
};

namespace detail {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Percent-decodes once; false on a malformed escape. "+" stays "+" in a path.
bool percentDecode(std::string_view in, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            out.push_back(in[i]);
            continue;
        }
        if (i + 2 >= in.size())
            return false;
        const int hi = hexValue(in[i + 1]);
        const int lo = hexValue(in[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return true;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char a = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] - 'A' + 'a') : s[i];
        if (a != prefix[i])
            return false;
    }
    return true;
}

} // namespace detail

/// Turns a request target into a file name below the site root. Pure: the file
/// system is not consulted, so the answer is the same whatever the root holds.
/// "/" and any path ending in "/" name that folder's index.html.
ResolvedPath resolvePath(std::string_view target) {
    ResolvedPath out;
    // Absolute form ("http://host/path"), which proxies send: keep the path.
    for (std::string_view scheme : {"http://", "https://"}) {
        if (detail::startsWithNoCase(target, scheme)) {
            const std::size_t slash = target.find('/', scheme.size());
            target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
            break;
        }
    }
    target = target.substr(0, target.find_first_of("?#"));
    if (target.empty() || target.front() != '/') {
        out.status = 400;
        return out;
    }
    out.requestPath = target;

    std::string decoded;
    if (!detail::percentDecode(target, decoded)) {
        out.status = 400;
        return out;
    }
    // NUL would cut the name short in the C library; a backslash is a plain
    // character here but a separator to some clients, so neither names a file.
    if (decoded.find('\0') != std::string::npos || decoded.find('\\') != std::string::npos ||
        std::any_of(decoded.begin(), decoded.end(), detail::isControl)) {
        out.status = 403;
        return out;
    }

    std::vector<std::string_view> segments;
    std::string_view rest = decoded;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (segment.empty() || segment == ".")
            continue; // "//" and "/./" name the same folder
        if (segment == "..") {
            out.status = 403;
            return out;
        }
        // Hidden files (".git", ".htaccess") are never part of the site.
        if (segment.front() == '.') {
            out.status = 404;
            return out;
        }
        segments.push_back(segment);
    }
    out.endsWithSlash = decoded.back() == '/';
    for (std::string_view segment : segments) {
        if (!out.relative.empty())
            out.relative += '/';
        out.relative += segment;
    }
    if (out.endsWithSlash || segments.empty())
        out.relative += out.relative.empty() ? "index.html" : "/index.html";
    return out;
}

/// Content type by the file name's extension; pages kept under ".php" addresses
/// are static HTML.
std::string contentTypeFor(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    std::string ext;
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        for (char c : name.substr(dot + 1))
            ext += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (ext == "html" || ext == "htm" || ext == "php")
        return "text/html; charset=utf-8";
    if (ext == "css")
        return "text/css; charset=utf-8";
    if (ext == "js")
        return "text/javascript; charset=utf-8";
    if (ext == "png")
        return "image/png";
    if (ext == "jpg" || ext == "jpeg")
        return "image/jpeg";
    if (ext == "svg")
        return "image/svg+xml";
    if (ext == "ico")
        return "image/x-icon";
    if (ext == "txt")
        return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

// ---------------------------------------------------------------------- answers

std::string reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    default:
        return "Error";
    }
}

std::string htmlEscape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

struct Response {
    int status = 200;
    std::vector<Header> headers; // besides Content-Length and Connection
    std::string body;            // used when `file` is empty
    platform::UniqueFd file;     // the file to send, `fileSize` bytes
    std::uint64_t fileSize = 0;
};

// A small page in the site's dark look for every refusal.
Response errorResponse(int status, std::string_view detail) {
    Response r;
    r.status = status;
    const std::string title = std::to_string(status) + " " + reasonPhrase(status);
    r.headers.push_back({"Content-Type", "text/html; charset=utf-8"});
    r.body = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + title +
             "</title><style>body{margin:0;min-height:100vh;display:flex;align-items:center;"
             "justify-content:center;background:#0b0d12;color:#d8dee9;font:15px/1.5 "
             "system-ui,sans-serif}main{max-width:32rem;padding:2rem;text-align:center}"
             "h1{margin:0 0 .5rem;font-size:1.6rem;color:#fff}a{color:#5cc8ff}</style></head>"
             "<body><main><h1>" +
             title + "</h1><p>" + htmlEscape(detail) +
             "</p><p><a href=\"/\">Zorvex home</a></p></main></body></html>\n";
    return r;
}

/// Builds the answer to a well-formed request from the files below `root`,
/// which must be canonical (as fs::canonical gives it).
Response respond(const Request& request, const fs::path& root) {
    if (request.method != "GET" && request.method != "HEAD") {
        Response r = errorResponse(405, "This site only answers GET and HEAD requests.");
        r.headers.push_back({"Allow", "GET, HEAD"});
        return r;
    }
    const ResolvedPath resolved = resolvePath(request.target);
    if (resolved.status == 400)
        return errorResponse(400, "The address is not well formed.");
    if (resolved.status == 403)
        return errorResponse(403, "That address is outside this site.");
    if (resolved.status == 404)
        return errorResponse(404, "There is no such page on this site.");

    // Symbolic links inside the root may point anywhere; only what really lies
    // below the root is served.
    std::error_code ec;
    const fs::path file = fs::canonical(root / resolved.relative, ec);
    const std::string rootPrefix = root.string() + "/";
    if (ec || !file.string().starts_with(rootPrefix))
        return errorResponse(404, "There is no such page on this site.");
    if (fs::is_directory(file, ec)) {
        if (resolved.endsWithSlash)
            return errorResponse(404, "There is no such page on this site.");
        // "/player" names a folder: send the browser to "/player/" so that the
        // folder's relative links resolve inside it.
        Response r = errorResponse(301, "This page has moved.");
        r.headers.push_back({"Location", resolved.requestPath + "/"});
        return r;
    }
    platform::UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return errorResponse(404, "There is no such page on this site.");

    Response r;
    const std::string type = contentTypeFor(resolved.relative);
    r.headers.push_back({"Content-Type", type});
    if (type.starts_with("text/html"))
        // The pages are self-contained: they may load nothing from elsewhere.
        r.headers.push_back({"Content-Security-Policy",
                             "default-src 'self'; script-src 'self' 'unsafe-inline'; style-src "
                             "'self' 'unsafe-inline'; img-src 'self' data:; form-action 'self'"});
    r.file = std::move(fd);
    r.fileSize = static_cast<std::uint64_t>(st.st_size);
    return r;
}

// ----------------------------------------------------------------------- server

namespace detail {

// Waits until `fd` is ready for `events` or `stopFd` is readable. Returns 1 when
// ready, 0 on time-out, -1 when asked to stop or on error.
int waitFor(int fd, short events, int stopFd, int timeoutMs) {
    pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int rc = ::poll(fds, 2, static_cast<int>(std::max<std::int64_t>(0, left.count())));
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || (fds[1].revents & POLLIN))
            return -1;
        if (rc == 0)
            return 0;
        return 1; // readiness, or an error the next call will report
    }
}

bool sendAll(int fd, const char* data, std::size_t size, int stopFd) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitFor(fd, POLLOUT, stopFd, kWriteTimeoutMs) != 1)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace detail

/// Listens on an IPv4 address and serves the files below a root folder, one
/// thread per connection.
///
/// Thread: construct on any thread; run() blocks the thread that calls it until
/// stop() is called from any thread or the extra stop descriptor becomes readable.
class Server {
  public:
    /// Binds and listens at once (port 0: a free port, see port()).
    /// Throws std::runtime_error when the root is no folder or the address is taken.
    Server(const fs::path& root, const std::string& bindAddress, int port) {
        std::error_code ec;
        root_ = fs::canonical(root, ec);
        if (ec || !fs::is_directory(root_))
            throw std::runtime_error("the site root " + root.string() + " is not a folder");

        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0)
            throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
        stopRead_.reset(pipeFds[0]);
        stopWrite_.reset(pipeFds[1]);

        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        if (port < 0 || port > 65535 ||
            ::inet_pton(AF_INET, bindAddress.c_str(), &addr.sin_addr) != 1)
            throw std::runtime_error("bad address " + bindAddress + ":" + std::to_string(port));
        listener_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (!listener_)
            throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
        // A restart right after a stop must not wait for old connections to expire.
        const int one = 1;
        ::setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(listener_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(listener_.get(), 64) != 0)
            throw std::runtime_error("cannot listen on " + bindAddress + ":" +
                                     std::to_string(port) + ": " + std::strerror(errno));
        socklen_t len = sizeof addr;
        ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }

    ~Server() {
        stop();
        joinAll();
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    int port() const { return port_; }
    const fs::path& root() const { return root_; }

    /// Makes run() return and every open connection end. Once stopped, a server
    /// stays stopped.
    void stop() {
        const char byte = 1;
        // The pipe only has to become readable; a full pipe already is.
        [[maybe_unused]] const ssize_t n = ::write(stopWrite_.get(), &byte, 1);
    }

    /// Serves until stop() or until `extraStopFd` (e.g. a signalfd) is readable;
    /// then waits for the open connections to end.
    void run(int extraStopFd = -1) {
        for (;;) {
            reapFinished();
            const bool full = connections_.size() >= kMaxConnections;
            pollfd fds[3] = {{stopRead_.get(), POLLIN, 0},
                             {extraStopFd, POLLIN, 0},
                             {full ? -1 : listener_.get(), POLLIN, 0}};
            // While full, look again now and then for connections that have ended.
            const int rc = ::poll(fds, 3, full ? 100 : -1);
            if (rc < 0 && errno != EINTR)
                break;
            if (rc <= 0)
                continue;
            if ((fds[0].revents & POLLIN) || (fds[1].revents & POLLIN))
                break;
            if (!(fds[2].revents & POLLIN))
                continue;
            platform::UniqueFd client(
                ::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
            if (!client)
                continue; // the peer gave up before we got to it, or no descriptors left
            auto connection = std::make_unique<Connection>();
            Connection* c = connection.get();
            c->thread = std::thread([this, c, fd = std::move(client)]() mutable {
                serve(std::move(fd));
                c->done.store(true);
            });
            connections_.push_back(std::move(connection));
        }
        // Connections see the same stop pipe only when stop() was called; make
        // sure they do when the extra descriptor ended the loop.
        stop();
        joinAll();
    }

  private:
    struct Connection {
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void reapFinished() {
        for (auto it = connections_.begin(); it != connections_.end();) {
            if ((*it)->done.load()) {
                (*it)->thread.join();
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
    }

    void joinAll() {
        for (auto& c : connections_)
            if (c->thread.joinable())
                c->thread.join();
        connections_.clear();
    }

    // Reads one request head, answers it and closes the connection.
    void serve(platform::UniqueFd client) {
        const int fd = client.get();
        const int stopFd = stopRead_.get();
        std::string data;
        ParseResult parsed;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadTimeoutMs);
        for (;;) {
            parsed = parseRequest(data);
            if (parsed.status != ParseStatus::Incomplete)
                break;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            const int ready = detail::waitFor(fd, POLLIN, stopFd, static_cast<int>(left.count()));
            if (ready < 0)
                return;
            if (ready == 0) {
                // Tell a client that has sent part of a request why it is dropped.
                if (!data.empty())
                    answer(fd, errorResponse(408, "The request took too long."), false, "-", "-");
                return;
            }
            char buffer[4096];
            // Never read more than one byte past the limit: that byte is enough
            // to know the head is too large.
            const std::size_t room = kMaxHeadBytes + 1 - std::min(data.size(), kMaxHeadBytes);
            const ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, room), 0);
            if (n == 0)
                return;
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                    continue;
                return;
            }
            data.append(buffer, static_cast<std::size_t>(n));
        }
        if (parsed.status == ParseStatus::TooLarge) {
            answer(fd, errorResponse(431, "The request headers are too large."), false, "-", "-");
        } else if (parsed.status == ParseStatus::BadRequest) {
            answer(fd, errorResponse(400, "The request is not well formed."), false, "-", "-");
        } else {
            const Request& request = parsed.request;
            answer(fd, respond(request, root_), request.method == "HEAD", request.method,
                   request.target);
        }
        lingeringClose(fd, stopFd);
    }

    // Sends the status line, headers and (unless `headOnly`) the body, and logs
    // one line. The method and target were checked for control characters by
    // the parser, so they are safe to print.
    void answer(int fd, Response response, bool headOnly, std::string_view method,
                std::string_view target) {
        const std::uint64_t length = response.file ? response.fileSize : response.body.size();
        std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                           reasonPhrase(response.status) + "\r\n";
        for (const Header& h : response.headers)
            head += h.name + ": " + h.value + "\r\n";
        head += "Content-Length: " + std::to_string(length) + "\r\n";
        // The pages change while the site is worked on; a reload must show that.
        head += "Cache-Control: no-cache\r\nX-Content-Type-Options: nosniff\r\n";
        head += "Server: zorvex-demo-web\r\nConnection: close\r\n\r\n";
        std::fprintf(stderr, "%s %.*s %d %llu\n", std::string(method).c_str(),
                     static_cast<int>(target.size()), target.data(), response.status,
                     static_cast<unsigned long long>(headOnly ? 0 : length));

        const int stopFd = stopRead_.get();
        if (!headOnly && !response.file)
            head += response.body; // one write for the small pages
        if (!detail::sendAll(fd, head.data(), head.size(), stopFd) || headOnly || !response.file)
            return;
        char buffer[64 * 1024];
        std::uint64_t left = length;
        while (left > 0) {
            const ssize_t n =
                ::read(response.file.get(), buffer,
                       static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof buffer)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return; // the file shrank: the client sees a short body and a closed connection
            if (!detail::sendAll(fd, buffer, static_cast<std::size_t>(n), stopFd))
                return;
            left -= static_cast<std::uint64_t>(n);
        }
    }

    // Closing a socket with unread input makes the kernel send a reset, which
    // can destroy the answer before the client has read it. So: end our side,
    // then read and drop what the client still sends, for a short while.
    static void lingeringClose(int fd, int stopFd) {
        ::shutdown(fd, SHUT_WR);
        char buffer[4096];
        for (std::size_t dropped = 0; dropped < 256 * 1024;) {
            if (detail::waitFor(fd, POLLIN, stopFd, 2000) != 1)
                return;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            if (n <= 0)
                return;
            dropped += static_cast<std::size_t>(n);
        }
    }

    fs::path root_;
    platform::UniqueFd listener_;
    platform::UniqueFd stopRead_;
    platform::UniqueFd stopWrite_;
    int port_ = 0;
    std::list<std::unique_ptr<Connection>> connections_; // touched by run()'s thread only
};

} // namespace demoweb

#ifndef ZORVEX_DEMO_WEB_NO_MAIN

namespace {

constexpr const char* kUsage = "usage: zorvex-demo-web --root DIR --port N [--bind ADDRESS]\n"
                               "  --root DIR      folder of the site (demo/web)\n"
                               "  --port N        TCP port, 0 for any free one\n"
                               "  --bind ADDRESS  IPv4 address to listen on (default 127.0.0.1)\n";

struct Options {
    std::string root;
    std::string bind = "127.0.0.1";
    int port = -1;
};

// Takes "--name value" and "--name=value"; false on anything else.
bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return false;
        }
        if (arg == "--root") {
            options.root = value;
        } else if (arg == "--bind") {
            options.bind = value;
        } else if (arg == "--port") {
            if (value.empty() || value.size() > 5 ||
                !std::all_of(value.begin(), value.end(),
                             [](char c) { return c >= '0' && c <= '9'; }))
                return false;
            options.port = std::stoi(value);
            if (options.port > 65535)
                return false;
        } else {
            return false;
        }
    }
    return !options.root.empty() && options.port >= 0;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // SIGTERM and SIGINT arrive through a descriptor that the accept loop polls,
    // so stopping needs no signal handler. They are blocked before any thread
    // starts, so that every thread inherits the mask and none is interrupted.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    if (::pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
        std::fputs("zorvex-demo-web: cannot block the stop signals\n", stderr);
        return 1;
    }
    platform::UniqueFd signals(::signalfd(-1, &stopSignals, SFD_CLOEXEC));
    if (!signals) {
        std::fprintf(stderr, "zorvex-demo-web: signalfd: %s\n", std::strerror(errno));
        return 1;
    }

    try {
        demoweb::Server server(options.root, options.bind, options.port);
        std::printf("zorvex-demo-web: serving %s at http://%s:%d/\n", server.root().c_str(),
                    options.bind.c_str(), server.port());
        std::fflush(stdout);
        server.run(signals.get());
        std::puts("zorvex-demo-web: stopped");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorvex-demo-web: %s\n", e.what());
        return 1;
    }
    return 0;
}

#endif
