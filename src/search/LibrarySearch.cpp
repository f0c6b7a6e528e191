#include "search/LibrarySearch.h"

#include "search/SqlText.h"

namespace search {

std::string BuildPlainTerms(std::string_view box) {
    std::string t(box);
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= 0x20)
        t.pop_back();
    for (char& c : t)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    std::string terms = "+";
    for (char c : t) {
        if (c == ' ')
            terms += " +";
        else
            terms += c;
    }
    return "\"" + escapeLiteral(terms, '"') + "\"";
}

std::string BuildLibraryTail(bool popular, std::string_view offsetText, const Exclusions& ex) {
    return "(rssurl != " + ex.playerUrl + ") AND (rsshostname != " + ex.host +
           (popular ? ")) ORDER BY SCORE DESC LIMIT " : ")) ORDER BY recnum DESC LIMIT ") +
           std::string(offsetText) + ",8";
}

LibrarySearch BuildLibrarySearch(std::string_view box, bool popular, std::string_view offsetText,
                                 const Exclusions& ex) {
    const std::string terms = BuildPlainTerms(box);
    LibrarySearch s;
    s.head = "SELECT HIGH_PRIORITY *,  ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST (" + terms +
             ")) AND (rssurl != " + ex.playerUrl + ") AND";
    s.middle = " (rsshostname != " + ex.host +
               ")) AS score FROM videosnap WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST (" + terms +
               " IN BOOLEAN MODE)) AND ";
    s.tail = BuildLibraryTail(popular, offsetText, ex);
    return s;
}

} // namespace search
