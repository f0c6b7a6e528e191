#pragma once
// Downloads one web address to a file, as the link resolver does with its work
// file before reading the page.
//
// Thread: any thread; implementations keep no state between calls.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class DownloadStatus {
    Ok,                // the whole body is in the file
    UnsupportedScheme, // not an http or https address (nothing was sent)
    HttpError,         // the server answered with a status of 400 or more
    TooLarge,          // the body went past the size limit
    TimedOut,          // the time limit ran out
    FileError,         // the file could not be created or written
    NetworkError,      // name lookup, connection, TLS, protocol, redirect loop, ...
};

struct DownloadResult {
    DownloadStatus status = DownloadStatus::NetworkError;
    /// The last HTTP status received (after redirects); 0 when none came.
    long httpStatus = 0;
    /// Bytes in the file: the body on success, 0 on any failure.
    std::uint64_t bytes = 0;
    /// What went wrong, for a message or a log; "" on success.
    std::string message;

    bool ok() const noexcept { return status == DownloadStatus::Ok; }
};

/// The limits of one download.
struct DownloadLimits {
    /// Largest body accepted; a longer one fails with TooLarge.
    std::uint64_t maxBytes = 8u * 1024u * 1024u;
    /// Whole transfer, from name lookup to the last byte, redirects included.
    std::chrono::milliseconds timeLimit{20'000};
    /// Redirects followed before giving up.
    long maxRedirects = 10;
};

class Downloader {
  public:
    virtual ~Downloader() = default;

    /// Fetches `url` with GET and writes the body to `file`, replacing what was
    /// there. On any failure the file is left empty (if it could be created), so a
    /// caller that reads it sees an empty page. Blocks the calling thread until
    /// done or the implementation's time limit. Failures are reported in the
    /// result, never thrown (only std::bad_alloc may escape).
    virtual DownloadResult download(std::string_view url, const std::string& file) = 0;
};

} // namespace platform
