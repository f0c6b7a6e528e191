#include "harvest/FetchPool.h"

#include <curl/curl.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <stdexcept>

#ifndef CURL_WRITEFUNC_ERROR
#define CURL_WRITEFUNC_ERROR 0
#endif

namespace harvest {

namespace {

using platform::DownloadStatus;

struct EasyFree {
    void operator()(CURL* handle) const noexcept { curl_easy_cleanup(handle); }
};
struct MultiFree {
    void operator()(CURLM* handle) const noexcept { curl_multi_cleanup(handle); }
};
struct FileClose {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using Easy = std::unique_ptr<CURL, EasyFree>;
using Multi = std::unique_ptr<CURLM, MultiFree>;
using File = std::unique_ptr<std::FILE, FileClose>;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

std::string mib(std::uint64_t bytes) {
    if (bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

struct Transfer {
    const FetchRequest* request = nullptr;
    FetchResult* result = nullptr;
    Easy easy;
    File file;
    std::uint64_t written = 0;
    bool tooLarge = false;
    bool writeFailed = false;
    char errorText[CURL_ERROR_SIZE] = {};
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (t->written + bytes > t->request->maxBytes) {
        t->tooLarge = true;
        return CURL_WRITEFUNC_ERROR;
    }
    if (t->file) {
        if (bytes > 0 && std::fwrite(data, 1, bytes, t->file.get()) != bytes) {
            t->writeFailed = true;
            return CURL_WRITEFUNC_ERROR;
        }
    } else {
        t->result->body.append(data, bytes);
    }
    t->written += bytes;
    return bytes;
}

void finish(Transfer& t, CURLcode rc) {
    FetchResult& result = *t.result;
    const std::string& address = t.request->url;
    curl_easy_getinfo(t.easy.get(), CURLINFO_RESPONSE_CODE, &result.httpStatus);
    if (rc == CURLE_OK && (!t.file || std::fflush(t.file.get()) == 0)) {
        result.status = DownloadStatus::Ok;
        result.bytes = t.written;
        t.file.reset();
        return;
    }
    if (rc == CURLE_OK || t.writeFailed) {
        result.status = DownloadStatus::FileError;
        result.message = "cannot write " + t.request->file;
    } else if (t.tooLarge || rc == CURLE_FILESIZE_EXCEEDED) {
        result.status = DownloadStatus::TooLarge;
        result.message = address + " is larger than " + mib(t.request->maxBytes);
    } else if (rc == CURLE_OPERATION_TIMEDOUT) {
        result.status = DownloadStatus::TimedOut;
        result.message = address + " did not arrive within " +
                         std::to_string(t.request->timeLimit.count()) + " ms";
    } else if (rc == CURLE_HTTP_RETURNED_ERROR) {
        result.status = DownloadStatus::HttpError;
        result.message = address + ": HTTP " + std::to_string(result.httpStatus);
    } else if (rc == CURLE_UNSUPPORTED_PROTOCOL) {
        result.status = DownloadStatus::UnsupportedScheme;
        result.message = address + " redirects to an address that is not http or https";
    } else {
        result.status = DownloadStatus::NetworkError;
        result.message = address + ": " + (t.errorText[0] ? t.errorText : curl_easy_strerror(rc));
    }
    // Nothing of a failed transfer is kept.
    result.body.clear();
    result.body.shrink_to_fit();
    if (t.file) {
        t.file.reset();
        std::FILE* empty = std::fopen(t.request->file.c_str(), "wb");
        if (empty)
            std::fclose(empty);
    }
}

} // namespace

FetchPool::FetchPool(int parallel, int perHost)
    : parallel_(parallel < 1 ? 1 : parallel), perHost_(perHost < 1 ? 1 : perHost) {
    static const CURLcode rc = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (rc != CURLE_OK)
        throw std::runtime_error(std::string("cannot initialise libcurl: ") +
                                 curl_easy_strerror(rc));
}

std::vector<FetchResult> FetchPool::fetchAll(const std::vector<FetchRequest>& requests) {
    std::vector<FetchResult> results(requests.size());
    if (requests.empty())
        return results;
    Multi multi(curl_multi_init());
    if (!multi) {
        for (FetchResult& r : results)
            r.message = "cannot make a libcurl multi handle";
        return results;
    }
    curl_multi_setopt(multi.get(), CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(parallel_));
    curl_multi_setopt(multi.get(), CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(perHost_));

    std::vector<std::unique_ptr<Transfer>> transfers;
    transfers.reserve(requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const FetchRequest& request = requests[i];
        FetchResult& result = results[i];
        if (!request.file.empty()) {
            File out(std::fopen(request.file.c_str(), "wb"));
            if (!out) {
                result.status = DownloadStatus::FileError;
                result.message = "cannot create " + request.file;
                continue;
            }
            auto t = std::make_unique<Transfer>();
            t->file = std::move(out);
            transfers.push_back(std::move(t));
        } else {
            transfers.push_back(std::make_unique<Transfer>());
        }
        Transfer& t = *transfers.back();
        t.request = &request;
        t.result = &result;
        if (!startsWithNoCase(request.url, "http://") &&
            !startsWithNoCase(request.url, "https://")) {
            result.status = DownloadStatus::UnsupportedScheme;
            result.message = "only http and https addresses are downloaded: " + request.url;
            t.file.reset();
            transfers.pop_back();
            continue;
        }
        t.easy.reset(curl_easy_init());
        if (!t.easy) {
            result.message = "cannot make a libcurl handle";
            transfers.pop_back();
            continue;
        }
        CURL* h = t.easy.get();
        curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeLimit.count()));
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
        curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, ""); // feeds compress well
        curl_easy_setopt(h, CURLOPT_USERAGENT, "Zorvex-Harvest/" ZORVEX_VERSION);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, t.errorText);
        curl_easy_setopt(h, CURLOPT_PRIVATE, &t);
        curl_multi_add_handle(multi.get(), h);
    }

    int running = 0;
    do {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
            break;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            Transfer* t = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &t);
            const CURLcode rc = message->data.result;
            curl_multi_remove_handle(multi.get(), message->easy_handle);
            if (t)
                finish(*t, rc);
        }
        if (running > 0)
            curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
    } while (running > 0);
    // Anything still attached (a failed perform) is detached before the handles go.
    for (auto& t : transfers)
        if (t->easy)
            curl_multi_remove_handle(multi.get(), t->easy.get());
    return results;
}

} // namespace harvest
