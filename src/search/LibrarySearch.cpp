#include "search/LibrarySearch.h"

#include "search/FullTextWords.h"
#include "search/SqlText.h"

namespace search {

std::string plainTermsText(std::string_view box) {
    std::vector<std::string> words = fullTextWords(box);
    for (auto& w : words)
        for (char& c : w)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    return requiredWords(words);
}

std::string BuildPlainTerms(std::string_view box) {
    return "\"" + escapeLiteral(plainTermsText(box), '"') + "\"";
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
               ")) AS score FROM videosnap WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST (" +
               terms + " IN BOOLEAN MODE)) AND ";
    s.tail = BuildLibraryTail(popular, offsetText, ex);
    return s;
}

} // namespace search
