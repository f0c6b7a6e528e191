#pragma once
// The addresses the web pages and the web searches open: the product site's pages,
// the maker's news and search pages and the three outside search sites. Every
// address uses the plain web scheme, the site's host from the configuration, then
// a fixed path and query.
//
// Thread: any thread; pure functions.

#include <string>
#include <string_view>

namespace web {

/// The host names the addresses are built on ("host" or "host:port").
struct Sites {
    std::string product;     ///< start page, user guide, support pages, root
    std::string makerSearch; ///< news page and the maker's two searches
    std::string google;
    std::string msn;
    std::string yahoo;
};

/// The start page of the video area.
std::string startPage(const Sites& sites);
/// The product site's root, where "My Web Browser" starts.
std::string productRoot(const Sites& sites);
/// The news page of "Latest Web News" (also the home of "My Web Browser").
std::string newsPage(const Sites& sites);
std::string userGuidePage(const Sites& sites);
std::string supportPage(const Sites& sites);

/// The five searches of the web search menu, in the menu's order.
enum class WebSearch { TrevaloNews, TrevaloPodcasts, Google, Msn, Yahoo };

/// The address of `search` for the search box's `text`. The text is
/// percent-encoded (UTF-8 bytes as %XX), so blanks, '&', '#' and quotes stay
/// inside the query value instead of ending it or the address.
std::string searchAddress(WebSearch search, const Sites& sites, std::string_view text);

/// A site the visit-site commands open: an address with a scheme goes unchanged, a
/// bare host name ("news.example.com/watch/1") gets "http://" in front, since a
/// browser handed a bare name may take it for a file.
std::string siteAddress(std::string_view site);

} // namespace web
