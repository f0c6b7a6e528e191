#include "harvest/FetchPool.h"

#include <cstdio>
#include <memory>

#include "platform/CurlLibrary.h"

namespace harvest {

namespace {

using platform::DownloadStatus;

struct FileClose {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

struct Transfer {
    const FetchRequest* request = nullptr;
    FetchResult* result = nullptr;
    std::unique_ptr<CURL, void (*)(CURL*)> easy{nullptr, nullptr};
    File file;
    platform::TransferSettings settings;
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

void finish(const platform::CurlLibrary& curl, Transfer& t, CURLcode rc) {
    FetchResult& result = *t.result;
    platform::TransferEnd end;
    end.code = rc;
    end.tooLarge = t.tooLarge;
    end.writeFailed = t.writeFailed;
    end.stored = !t.file || std::fflush(t.file.get()) == 0;
    platform::readTransferEnd(curl, t.easy.get(), t.request->url, t.request->file, t.settings, end,
                              result);
    if (result.ok()) {
        result.bytes = t.written;
        t.file.reset();
        return;
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
    platform::curlLibrary();
}

std::vector<FetchResult> FetchPool::fetchAll(const std::vector<FetchRequest>& requests) {
    std::vector<FetchResult> results(requests.size());
    if (requests.empty())
        return results;
    const platform::CurlLibrary& curl = platform::curlLibrary();
    std::unique_ptr<CURLM, decltype(curl.multiCleanup)> multi(curl.multiInit(), curl.multiCleanup);
    if (!multi) {
        for (FetchResult& r : results)
            r.message = "cannot make a libcurl multi handle";
        return results;
    }
    curl.multiSetopt(multi.get(), CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(parallel_));
    curl.multiSetopt(multi.get(), CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(perHost_));

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
        if (!platform::isWebAddress(request.url)) {
            result.status = DownloadStatus::UnsupportedScheme;
            result.message = "only http and https addresses are downloaded: " + request.url;
            t.file.reset();
            transfers.pop_back();
            continue;
        }
        t.easy = {curl.easyInit(), curl.easyCleanup};
        if (!t.easy) {
            result.message = "cannot make a libcurl handle";
            transfers.pop_back();
            continue;
        }
        CURL* h = t.easy.get();
        t.settings = {{request.maxBytes, request.timeLimit, 10L},
                      "Zorvex-Harvest/" ZORVEX_VERSION,
                      &writeBody,
                      &t,
                      t.errorText};
        platform::setTransferOptions(curl, h, request.url, t.settings);
        curl.easySetopt(h, CURLOPT_ACCEPT_ENCODING, ""); // feeds compress well
        curl.easySetopt(h, CURLOPT_PRIVATE, &t);
        curl.multiAddHandle(multi.get(), h);
    }

    int running = 0;
    do {
        if (curl.multiPerform(multi.get(), &running) != CURLM_OK)
            break;
        int left = 0;
        while (CURLMsg* message = curl.multiInfoRead(multi.get(), &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            Transfer* t = nullptr;
            curl.easyGetinfo(message->easy_handle, CURLINFO_PRIVATE, &t);
            const CURLcode rc = message->data.result;
            curl.multiRemoveHandle(multi.get(), message->easy_handle);
            if (t)
                finish(curl, *t, rc);
        }
        if (running > 0)
            curl.multiPoll(multi.get(), nullptr, 0, 1000, nullptr);
    } while (running > 0);
    // Anything still attached (a failed perform) is detached before the handles go.
    for (auto& t : transfers)
        if (t->easy)
            curl.multiRemoveHandle(multi.get(), t->easy.get());
    return results;
}

} // namespace harvest
