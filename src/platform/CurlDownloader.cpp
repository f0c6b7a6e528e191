#include "platform/CurlDownloader.h"

#include <curl/curl.h>

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <stdexcept>

// Older libcurl has no name for it; any count other than the one passed in fails.
#ifndef CURL_WRITEFUNC_ERROR
#define CURL_WRITEFUNC_ERROR 0
#endif

namespace platform {

namespace {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const noexcept { ::curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libcurl's global state belongs to the whole process; it is set up once, on
// first use, and never torn down, because other threads may still be using curl
// while the process exits.
CURLcode initialiseCurl() {
    static const CURLcode rc = ::curl_global_init(CURL_GLOBAL_DEFAULT);
    return rc;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

struct BodySink {
    std::FILE* file = nullptr;
    std::uint64_t written = 0;
    std::uint64_t maxBytes = 0;
    bool tooLarge = false;
    bool writeFailed = false;
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    if (sink->written + bytes > sink->maxBytes) {
        sink->tooLarge = true;
        return CURL_WRITEFUNC_ERROR;
    }
    if (bytes > 0 && std::fwrite(data, 1, bytes, sink->file) != bytes) {
        sink->writeFailed = true;
        return CURL_WRITEFUNC_ERROR;
    }
    sink->written += bytes;
    return bytes;
}

std::string mib(std::uint64_t bytes) {
    if (bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

CurlDownloader::CurlDownloader(DownloadLimits limits) : limits_(limits) {
    if (const CURLcode rc = initialiseCurl(); rc != CURLE_OK)
        throw std::runtime_error(std::string("cannot initialise libcurl: ") +
                                 ::curl_easy_strerror(rc));
}

DownloadResult CurlDownloader::download(std::string_view url, const std::string& file) {
    DownloadResult result;
    const std::string address(url);

    // The work file is emptied first, so every failure below leaves it empty.
    File out(std::fopen(file.c_str(), "wb"));
    if (!out) {
        result.status = DownloadStatus::FileError;
        result.message = "cannot create " + file;
        return result;
    }

    if (!startsWithNoCase(address, "http://") && !startsWithNoCase(address, "https://")) {
        result.status = DownloadStatus::UnsupportedScheme;
        result.message = "only http and https addresses are downloaded: " + address;
        return result;
    }

    CurlEasy curl(::curl_easy_init());
    if (!curl) {
        result.message = "cannot make a libcurl handle";
        return result;
    }
    BodySink sink;
    sink.file = out.get();
    sink.maxBytes = limits_.maxBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    ::curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    ::curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    ::curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    ::curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    ::curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    ::curl_easy_setopt(h, CURLOPT_MAXREDIRS, limits_.maxRedirects);
    ::curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.timeLimit.count()));
    // Refuses early when the server announces a longer body; the write callback
    // enforces the same limit when it does not.
    ::curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBytes));
    ::curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    // No signals: a time-out must not raise SIGALRM in a threaded program.
    ::curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    ::curl_easy_setopt(h, CURLOPT_USERAGENT, "Zorvex/" ZORVEX_VERSION);
    ::curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
    ::curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    ::curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);

    const CURLcode rc = ::curl_easy_perform(h);
    ::curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    const std::string detail = errorText[0] ? errorText : ::curl_easy_strerror(rc);

    if (rc == CURLE_OK) {
        const bool flushed = std::fflush(out.get()) == 0;
        if (flushed && std::ferror(out.get()) == 0) {
            result.status = DownloadStatus::Ok;
            result.bytes = sink.written;
            return result;
        }
        result.status = DownloadStatus::FileError;
        result.message = "cannot write " + file;
    } else if (sink.tooLarge || rc == CURLE_FILESIZE_EXCEEDED) {
        result.status = DownloadStatus::TooLarge;
        result.message = address + " is larger than " + mib(limits_.maxBytes);
    } else if (sink.writeFailed) {
        result.status = DownloadStatus::FileError;
        result.message = "cannot write " + file;
    } else if (rc == CURLE_OPERATION_TIMEDOUT) {
        result.status = DownloadStatus::TimedOut;
        result.message =
            address + " did not arrive within " + std::to_string(limits_.timeLimit.count()) + " ms";
    } else if (rc == CURLE_HTTP_RETURNED_ERROR) {
        result.status = DownloadStatus::HttpError;
        result.message = address + ": HTTP " + std::to_string(result.httpStatus);
    } else if (rc == CURLE_UNSUPPORTED_PROTOCOL) {
        // Only a redirect can get here: the address itself was checked above.
        result.status = DownloadStatus::UnsupportedScheme;
        result.message = address + " redirects to an address that is not http or https";
    } else {
        result.status = DownloadStatus::NetworkError;
        result.message = address + ": " + detail;
    }

    // Drop whatever part of the body arrived.
    std::fflush(out.get());
    if (::ftruncate(::fileno(out.get()), 0) != 0 && result.status != DownloadStatus::FileError) {
        result.status = DownloadStatus::FileError;
        result.message = "cannot empty " + file + " after: " + result.message;
    }
    return result;
}

} // namespace platform
