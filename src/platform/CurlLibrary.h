#pragma once
// libcurl, loaded the first time something is downloaded rather than when the
// program starts: it brings some twenty libraries of its own (TLS, Kerberos, LDAP,
// SSH, IDN, ...) that cost every process about 4 MiB of resident memory and their
// start-up relocations, while most runs of the program download nothing. The
// library's global set-up runs once, right after loading.
//
// Beside the functions, the parts both downloaders share: the address check, the
// transfer options that enforce the limits, and the reading of a finished transfer.
//
// Thread: any; the first call loads the library once for the whole process, and the
// library stays loaded until the process ends.

#include <curl/curl.h>

#include <string>
#include <string_view>

#include "platform/Downloader.h"

// Older libcurl has no name for it; any count other than the one passed in fails.
#ifndef CURL_WRITEFUNC_ERROR
#define CURL_WRITEFUNC_ERROR 0
#endif

namespace platform {

/// The libcurl functions the downloaders call, resolved from the loaded library.
struct CurlLibrary {
    decltype(&::curl_easy_init) easyInit;
    decltype(&::curl_easy_setopt) easySetopt;
    decltype(&::curl_easy_perform) easyPerform;
    decltype(&::curl_easy_getinfo) easyGetinfo;
    decltype(&::curl_easy_cleanup) easyCleanup;
    decltype(&::curl_easy_strerror) easyStrerror;
    decltype(&::curl_multi_init) multiInit;
    decltype(&::curl_multi_setopt) multiSetopt;
    decltype(&::curl_multi_add_handle) multiAddHandle;
    decltype(&::curl_multi_remove_handle) multiRemoveHandle;
    decltype(&::curl_multi_perform) multiPerform;
    decltype(&::curl_multi_poll) multiPoll;
    decltype(&::curl_multi_info_read) multiInfoRead;
    decltype(&::curl_multi_cleanup) multiCleanup;
};

/// The loaded and initialised library. Throws std::runtime_error (with the
/// loader's or libcurl's reason) when it cannot be loaded or set up; a later call
/// tries again.
const CurlLibrary& curlLibrary();
/// Whether libcurl has been loaded into this process (by curlLibrary()).
bool curlLibraryLoaded();

/// Whether `address` starts with http:// or https:// (in any case): the only
/// addresses, and redirects, that are downloaded.
bool isWebAddress(std::string_view address);

/// What one transfer may take and how it reports.
struct TransferSettings {
    DownloadLimits limits;
    const char* userAgent = "";
    curl_write_callback write = nullptr;
    void* writeData = nullptr;
    /// CURL_ERROR_SIZE bytes that receive libcurl's own description of a failure.
    char* errorText = nullptr;
};

/// Sets the options every download uses on `easy`: GET of `url`, http and https
/// only (redirects too), the redirect, size and time limits, no signals, and the
/// body handed to `settings.write`.
void setTransferOptions(const CurlLibrary& curl, CURL* easy, const std::string& url,
                        const TransferSettings& settings);

/// How a transfer ended, beside libcurl's code: whether the write callback refused
/// the body for its size, or could not store it.
struct TransferEnd {
    CURLcode code = CURLE_OK;
    bool tooLarge = false;
    bool writeFailed = false;
    /// The body was stored (flushed) after the last byte.
    bool stored = true;
};

/// Fills the status and message of a finished transfer of `address` (and its
/// HTTP status from `easy`). The bytes are left to the caller.
void readTransferEnd(const CurlLibrary& curl, CURL* easy, const std::string& address,
                     const std::string& file, const TransferSettings& settings,
                     const TransferEnd& end, DownloadResult& result);

} // namespace platform
