#include "platform/CurlDownloader.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "platform/CurlLibrary.h"

namespace platform {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

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

} // namespace

CurlDownloader::CurlDownloader(DownloadLimits limits) : limits_(limits) {}

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

    if (!isWebAddress(address)) {
        result.status = DownloadStatus::UnsupportedScheme;
        result.message = "only http and https addresses are downloaded: " + address;
        return result;
    }

    const CurlLibrary* curl = nullptr;
    try {
        curl = &curlLibrary();
    } catch (const std::exception& e) {
        result.message = e.what();
        return result;
    }
    std::unique_ptr<CURL, decltype(curl->easyCleanup)> easy(curl->easyInit(), curl->easyCleanup);
    if (!easy) {
        result.message = "cannot make a libcurl handle";
        return result;
    }
    BodySink sink;
    sink.file = out.get();
    sink.maxBytes = limits_.maxBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    TransferSettings settings{limits_, "Zorvex/" ZORVEX_VERSION, &writeBody, &sink, errorText};
    setTransferOptions(*curl, easy.get(), address, settings);

    TransferEnd end;
    end.code = curl->easyPerform(easy.get());
    end.tooLarge = sink.tooLarge;
    end.writeFailed = sink.writeFailed;
    end.stored = std::fflush(out.get()) == 0 && std::ferror(out.get()) == 0;
    readTransferEnd(*curl, easy.get(), address, file, settings, end, result);
    if (result.ok()) {
        result.bytes = sink.written;
        return result;
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
