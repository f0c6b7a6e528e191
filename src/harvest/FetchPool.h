#pragma once
// Parallel downloads with libcurl's multi interface: every request is handed to one
// multi handle, which runs at most `parallel` transfers at once and at most
// `perHost` to one host, and queues the rest. Each transfer keeps the limits of the
// program's downloader: http and https only (redirects too), a largest body and a
// time limit for the whole transfer, so a server that never answers or sends without
// end holds the harvest up no longer than the limit.
//
// Thread: one thread per pool; fetchAll blocks that thread until every transfer is
// done.

#include "platform/Downloader.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace harvest {

struct FetchRequest {
    std::string url;
    /// Where the body goes; empty: into FetchResult::body.
    std::string file;
    std::uint64_t maxBytes = 8u << 20;
    std::chrono::milliseconds timeLimit{20'000};
};

struct FetchResult : platform::DownloadResult {
    /// The body of a request without a file.
    std::string body;
};

class FetchPool {
  public:
    /// Throws std::runtime_error when libcurl cannot be initialised.
    FetchPool(int parallel, int perHost);

    /// Runs every request; results in the order of the requests. Failures are
    /// reported in the results, never thrown (only std::bad_alloc may escape).
    std::vector<FetchResult> fetchAll(const std::vector<FetchRequest>& requests);

  private:
    int parallel_;
    int perHost_;
};

} // namespace harvest
