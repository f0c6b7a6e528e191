#pragma once
// Downloader on libcurl. Accepts http:// and https:// addresses only, also for
// redirects, which it follows; any other scheme, or an address without one, is
// refused before any network activity. A download stops with a failure once the
// body passes the size limit or the whole transfer passes the time limit.
//
// Thread: any thread, also concurrently: each call uses its own curl handle and
// the limits are fixed at construction. The first construction initialises
// libcurl's global state once for the process (thread-safe).

#include "platform/Downloader.h"

#include <chrono>
#include <cstdint>

namespace platform {

struct DownloadLimits {
    /// Largest body accepted; a longer one fails with TooLarge.
    std::uint64_t maxBytes = 8u * 1024u * 1024u;
    /// Whole transfer, from name lookup to the last byte, redirects included.
    std::chrono::milliseconds timeLimit{20'000};
    /// Redirects followed before giving up.
    long maxRedirects = 10;
};

class CurlDownloader final : public Downloader {
  public:
    /// Throws std::runtime_error if libcurl cannot be initialised.
    explicit CurlDownloader(DownloadLimits limits = {});

    /// See Downloader::download. Never throws except std::bad_alloc.
    DownloadResult download(std::string_view url, const std::string& file) override;

    const DownloadLimits& limits() const noexcept { return limits_; }

  private:
    DownloadLimits limits_;
};

} // namespace platform
