#pragma once
// The link resolver: rewrites `playLink` into an address the media worker can
// open before the play request hands it over. It knows a few hosts by marker
// text, downloads pages where it must (through the work file "ok.htm" in the
// current directory), digs the stream address out of them and finally gives
// every link the stream suffix. A download that fails only leaves the page text
// without it; nothing is raised.
//
// The diagnostic outputs go to hidden controls: `Label16` ("No ASX Found" /
// "ASX Found"), `Memo1` (the link before the mms: rewrite) and
// `videolocationmemo` (the playlist address, then the final link).
//
// Thread: user-interface thread only. The downloads are synchronous, bounded by
// the downloader's limits.

#include <functional>
#include <string>
#include <string_view>

namespace ui {
class Form;
}
namespace catalogue {
class Selection;
}
namespace platform {
class Downloader;
}

namespace player {

/// The host markers and endpoint hosts, from zorvex.ini's [resolver] section.
struct ResolverSettings {
    std::string ifilmMarker = "ifilm.";
    std::string comedyMarker = "comedystorage.";
    std::string globoMarker = "globo.";
    std::string aolMarker = "aol.";
    /// Hosts (with an optional port) of the three fixed endpoints.
    std::string comedySearchHost = "www.comedycentral.example";
    std::string globoAuthHost = "auth.globo.example";
    std::string testPageHost = "test.zorvex.example";
    /// The test page's fixed query values.
    std::string testTitle = "Zorvex Test Video";
    std::string testAddress = "www.outside.example/test.wmv";
};

class LinkResolver {
  public:
    /// `ifilmKey` answers the key loaded at start-up (empty when there is none).
    /// All references must outlive the resolver.
    LinkResolver(ui::Form& form, catalogue::Selection& selection, platform::Downloader& downloader,
                 ResolverSettings settings, std::function<std::string()> ifilmKey);
    LinkResolver(const LinkResolver&) = delete;
    LinkResolver& operator=(const LinkResolver&) = delete;

    /// Rewrites `playLink` in place. Throws only std::bad_alloc.
    void ResolveMediaLink();

    /// Downloads `address` to "ok.htm", appends its lines (without line breaks) to
    /// the page buffer, deletes the file and returns the buffer. A failed download
    /// appends nothing.
    const std::string& FetchPage(std::string_view address);

    /// The address of the Comedy Central search for `term` (percent-encoded).
    std::string comedySearchAddress(std::string_view term) const;
    /// The address of the test page.
    std::string testPageAddress() const;
    /// The address of the Globo authentication for `identifier`.
    std::string globoAuthAddress(std::string_view identifier) const;

    const ResolverSettings& settings() const { return settings_; }

  private:
    void setDiagnostic(std::string_view text);

    ui::Form& form_;
    catalogue::Selection& selection_;
    platform::Downloader& downloader_;
    ResolverSettings settings_;
    std::function<std::string()> ifilmKey_;
    std::string page_;
};

} // namespace player
