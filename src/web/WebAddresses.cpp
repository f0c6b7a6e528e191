#include "web/WebAddresses.h"

#include "player/LinkText.h"

namespace web {

namespace {

std::string address(const std::string& host, std::string_view pathAndQuery) {
    return "http://" + host + std::string(pathAndQuery);
}

} // namespace

std::string startPage(const Sites& sites) {
    return address(sites.product, "/TV/zorvex.php");
}

std::string productRoot(const Sites& sites) {
    return address(sites.product, "/");
}

std::string newsPage(const Sites& sites) {
    return address(sites.makerSearch, "/vp/vp.php");
}

std::string userGuidePage(const Sites& sites) {
    return address(sites.product, "/player/manual.php");
}

std::string supportPage(const Sites& sites) {
    return address(sites.product, "/player/support.php");
}

std::string searchAddress(WebSearch search, const Sites& sites, std::string_view text) {
    const std::string q = player::linktext::encodeQueryValue(text);
    switch (search) {
    case WebSearch::TrevaloNews:
        return address(sites.makerSearch, "/qzr/to.php?to=n&q=" + q);
    case WebSearch::TrevaloPodcasts:
        return address(sites.makerSearch, "/qzr/to.php?to=p&q=" + q);
    case WebSearch::Google:
        return address(sites.google, "/search?hl=en&q=" + q + "&meta=");
    case WebSearch::Msn:
        return address(sites.msn, "/results.aspx?q=" + q + "&geovar=56&FORM=REDIR");
    case WebSearch::Yahoo:
        return address(sites.yahoo, "/search?p=" + q + "&fr=FP-tab-web-t&toggle=1&cop=&ei=UTF-8");
    }
    return {};
}

std::string siteAddress(std::string_view site) {
    // A scheme is letters, digits, '+', '-' or '.' after a letter, then "://".
    const auto colon = site.find("://");
    bool hasScheme = colon != std::string_view::npos && colon > 0;
    for (std::size_t i = 0; hasScheme && i < colon; ++i) {
        const char c = site[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        hasScheme = letter || (i > 0 && other);
    }
    if (hasScheme || site.empty())
        return std::string(site);
    return "http://" + std::string(site);
}

} // namespace web
