#pragma once
// Downloader on libcurl. Accepts http:// and https:// addresses only, also for
// redirects, which it follows; any other scheme, or an address without one, is
// refused before any network activity. A download stops with a failure once the
// body passes the size limit or the whole transfer passes the time limit.
//
// libcurl is loaded by the first download (platform/CurlLibrary); when it cannot
// be, that download fails with a NetworkError that says why.
//
// Thread: any thread, also concurrently: each call uses its own curl handle and
// the limits are fixed at construction.

#include "platform/Downloader.h"

namespace platform {

class CurlDownloader final : public Downloader {
  public:
    explicit CurlDownloader(DownloadLimits limits = {});

    /// See Downloader::download. Never throws except std::bad_alloc.
    DownloadResult download(std::string_view url, const std::string& file) override;

    const DownloadLimits& limits() const noexcept { return limits_; }

  private:
    DownloadLimits limits_;
};

} // namespace platform
