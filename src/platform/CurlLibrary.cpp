#include "platform/CurlLibrary.h"

#include <cctype>
#include <mutex>
#include <stdexcept>

#include "platform/LoadedLibrary.h"

namespace platform {

namespace {

std::mutex loadMutex;
const CurlLibrary* loaded = nullptr;

template <class Fn> void resolve(void* handle, const char* name, Fn& out) {
    if (!resolveFunction(handle, name, out))
        throw std::runtime_error(std::string("the download library lacks ") + name);
}

std::string mib(std::uint64_t bytes) {
    if (bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

const CurlLibrary& curlLibrary() {
    std::lock_guard lock(loadMutex);
    if (loaded)
        return *loaded;
    std::string why;
    void* handle = openLibrary({"libcurl.so.4", "libcurl-gnutls.so.4"}, why);
    if (!handle)
        throw std::runtime_error("cannot load the download library: " + why);
    static CurlLibrary library;
    decltype(&::curl_global_init) globalInit = nullptr;
    try {
        resolve(handle, "curl_global_init", globalInit);
        resolve(handle, "curl_easy_init", library.easyInit);
        resolve(handle, "curl_easy_setopt", library.easySetopt);
        resolve(handle, "curl_easy_perform", library.easyPerform);
        resolve(handle, "curl_easy_getinfo", library.easyGetinfo);
        resolve(handle, "curl_easy_cleanup", library.easyCleanup);
        resolve(handle, "curl_easy_strerror", library.easyStrerror);
        resolve(handle, "curl_multi_init", library.multiInit);
        resolve(handle, "curl_multi_setopt", library.multiSetopt);
        resolve(handle, "curl_multi_add_handle", library.multiAddHandle);
        resolve(handle, "curl_multi_remove_handle", library.multiRemoveHandle);
        resolve(handle, "curl_multi_perform", library.multiPerform);
        resolve(handle, "curl_multi_poll", library.multiPoll);
        resolve(handle, "curl_multi_info_read", library.multiInfoRead);
        resolve(handle, "curl_multi_cleanup", library.multiCleanup);
        // libcurl's global state belongs to the whole process: set up once, under
        // the lock, and never torn down, because other threads may still be using
        // curl while the process exits.
        if (const CURLcode rc = globalInit(CURL_GLOBAL_DEFAULT); rc != CURLE_OK)
            throw std::runtime_error(std::string("cannot initialise libcurl: ") +
                                     library.easyStrerror(rc));
    } catch (...) {
        ::dlclose(handle);
        throw;
    }
    loaded = &library;
    return library;
}

bool curlLibraryLoaded() {
    std::lock_guard lock(loadMutex);
    return loaded != nullptr;
}

bool isWebAddress(std::string_view address) {
    auto startsWith = [address](std::string_view prefix) {
        if (address.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(address[i])) != prefix[i])
                return false;
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

void setTransferOptions(const CurlLibrary& curl, CURL* h, const std::string& url,
                        const TransferSettings& settings) {
    const DownloadLimits& limits = settings.limits;
    curl.easySetopt(h, CURLOPT_URL, url.c_str());
    curl.easySetopt(h, CURLOPT_HTTPGET, 1L);
    curl.easySetopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl.easySetopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl.easySetopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl.easySetopt(h, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl.easySetopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.timeLimit.count()));
    // Refuses early when the server announces a longer body; the write callback
    // enforces the same limit when it does not.
    curl.easySetopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl.easySetopt(h, CURLOPT_FAILONERROR, 1L);
    // No signals: a time-out must not raise SIGALRM in a threaded program.
    curl.easySetopt(h, CURLOPT_NOSIGNAL, 1L);
    curl.easySetopt(h, CURLOPT_USERAGENT, settings.userAgent);
    curl.easySetopt(h, CURLOPT_WRITEFUNCTION, settings.write);
    curl.easySetopt(h, CURLOPT_WRITEDATA, settings.writeData);
    curl.easySetopt(h, CURLOPT_ERRORBUFFER, settings.errorText);
}

void readTransferEnd(const CurlLibrary& curl, CURL* easy, const std::string& address,
                     const std::string& file, const TransferSettings& settings,
                     const TransferEnd& end, DownloadResult& result) {
    curl.easyGetinfo(easy, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    const CURLcode rc = end.code;
    if (rc == CURLE_OK && end.stored) {
        result.status = DownloadStatus::Ok;
        result.message.clear();
        return;
    }
    if (rc == CURLE_OK || end.writeFailed) {
        result.status = DownloadStatus::FileError;
        result.message = "cannot write " + file;
    } else if (end.tooLarge || rc == CURLE_FILESIZE_EXCEEDED) {
        result.status = DownloadStatus::TooLarge;
        result.message = address + " is larger than " + mib(settings.limits.maxBytes);
    } else if (rc == CURLE_OPERATION_TIMEDOUT) {
        result.status = DownloadStatus::TimedOut;
        result.message = address + " did not arrive within " +
                         std::to_string(settings.limits.timeLimit.count()) + " ms";
    } else if (rc == CURLE_HTTP_RETURNED_ERROR) {
        result.status = DownloadStatus::HttpError;
        result.message = address + ": HTTP " + std::to_string(result.httpStatus);
    } else if (rc == CURLE_UNSUPPORTED_PROTOCOL) {
        // Only a redirect can get here: the address itself was checked before.
        result.status = DownloadStatus::UnsupportedScheme;
        result.message = address + " redirects to an address that is not http or https";
    } else {
        result.status = DownloadStatus::NetworkError;
        result.message = address + ": " +
                         (settings.errorText && settings.errorText[0] ? settings.errorText
                                                                      : curl.easyStrerror(rc));
    }
}

} // namespace platform
