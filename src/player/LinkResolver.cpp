#include "player/LinkResolver.h"

#include <cstdio>
#include <fstream>

#include "catalogue/Selection.h"
#include "platform/Downloader.h"
#include "player/LinkText.h"
#include "ui/Form.h"
#include "ui/Widgets.h"

namespace player {

namespace lt = linktext;

namespace {

constexpr const char* workFile = "ok.htm";

long long length(std::string_view text) {
    return static_cast<long long>(text.size());
}

// An unset marker marks no link (an empty text would be found in every one).
bool hasMarker(std::string_view link, std::string_view marker) {
    return !marker.empty() && lt::contains(link, marker);
}

} // namespace

LinkResolver::LinkResolver(ui::Form& form, catalogue::Selection& selection,
                           platform::Downloader& downloader, ResolverSettings settings,
                           std::function<std::string()> ifilmKey)
    : form_(form), selection_(selection), downloader_(downloader), settings_(std::move(settings)),
      ifilmKey_(std::move(ifilmKey)) {}

std::string LinkResolver::comedySearchAddress(std::string_view term) const {
    return "http://" + settings_.comedySearchHost +
           "/motherload/search/search.jhtml?searchterm=" + lt::encodeQueryValue(term);
}

std::string LinkResolver::testPageAddress() const {
    return "http://" + settings_.testPageHost +
           "/player/media.php?i=" + lt::encodeQueryValue(settings_.testTitle) +
           "&u=" + lt::encodeQueryValue(settings_.testAddress);
}

std::string LinkResolver::globoAuthAddress(std::string_view identifier) const {
    return "http://" + settings_.globoAuthHost +
           "/ServletsCDA/PopAutentica?ID=" + std::string(identifier);
}

const std::string& LinkResolver::FetchPage(std::string_view address) {
    // Failures only mean an empty (or missing) work file: the page gets nothing.
    downloader_.download(address, workFile);
    {
        std::ifstream file(workFile);
        std::string line;
        while (file && std::getline(file, line)) {
            // A page written with CR LF line ends reads as it would in text mode.
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            page_ += line;
        }
    }
    std::remove(workFile);
    return page_;
}

void LinkResolver::setDiagnostic(std::string_view text) {
    form_.get<ui::Label>("Label16").setCaption(std::string(text));
}

void LinkResolver::ResolveMediaLink() {
    page_.clear();
    std::string link = lt::withoutPortEighty(selection_.playLink());
    setDiagnostic("No ASX Found");

    if (hasMarker(link, settings_.ifilmMarker))
        link = lt::before(link, "l=") + (ifilmKey_ ? ifilmKey_() : std::string()) +
               lt::fromFirst(link, "&");

    if (hasMarker(link, settings_.comedyMarker)) {
        const std::string page = FetchPage(comedySearchAddress(selection_.selectionTitle()));
        link = lt::before(lt::fromFirst(page, "mms"), "<");
    }

    if (lt::contains(link, "Killerffd=")) {
        page_.clear();
        link = FetchPage(testPageAddress());
    }

    if (hasMarker(link, settings_.globoMarker)) {
        const std::string identifier = lt::after(link, "url=");
        const std::string page = FetchPage(globoAuthAddress(identifier));
        const std::string secure =
            lt::copy(lt::before(lt::fromFirst(page, "secure="), "&"), 8, length(page));
        link = lt::copy(link, 1, static_cast<long long>(lt::position(link, "url=")) + 3) + secure;
    }

    if (!lt::contains(link, ".asf") && !lt::contains(link, ".wmv")) {
        std::string page = FetchPage(link);
        if (lt::contains(page, "object id"))
            link = lt::before(lt::fromFirst(page, "http:"), "\"");
        if (lt::contains(page, ".asx")) {
            const std::string packed = lt::fromFirst(lt::removeAll(page, " "), "http");
            const std::string playlist =
                lt::copy(packed, 1, static_cast<long long>(lt::position(packed, ".asx")) + 4);
            form_.get<ui::Memo>("videolocationmemo").setText(playlist);
            page_.clear();
            page = FetchPage(link);
        }
        if (lt::contains(page, "href") || lt::contains(page, "HREF")) {
            page = lt::removeAll(page, " ");
            setDiagnostic("ASX Found");
            std::string ref;
            if (lt::contains(page, "href"))
                ref = lt::copy(page, static_cast<long long>(lt::position(page, "href=")) + 6, 300);
            if (lt::contains(page, "HREF"))
                ref = lt::copy(page, static_cast<long long>(lt::position(page, "HREF")) + 6, 300);
            link = lt::before(ref, "\"");
        } else {
            setDiagnostic("No ASX Found");
        }
    }

    if (hasMarker(link, settings_.aolMarker) && lt::contains(link, "?"))
        link = lt::before(link, "?");

    form_.get<ui::Memo>("Memo1").setText(link);
    link = lt::mmsToHttp(link);
    link = lt::withStreamSuffix(link, settings_.ifilmMarker);
    form_.get<ui::Memo>("videolocationmemo").setText(link);
    selection_.setPlayLink(std::move(link));
}

} // namespace player
