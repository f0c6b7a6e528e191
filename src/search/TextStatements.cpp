#include "search/TextStatements.h"

#include "search/FullTextWords.h"
#include "search/SearchTerms.h"
#include "search/SqlText.h"

namespace search {

std::string phraseWords(std::string_view box) {
    std::string words;
    for (const auto& w : fullTextWords(box)) {
        if (!words.empty())
            words += ' ';
        words += w;
    }
    for (char& c : words)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return words;
}

std::string PhraseSearchStatement(std::string_view box, const Exclusions& ex) {
    const std::string terms = "\"" + escapeLiteral(phraseWords(box), '"') + "\"";
    return "SELECT HIGH_PRIORITY rssitemtitle,rssdesc,medialink,rsshostname,rsscat, mediatype, "
           "recnum, rsstitle,  (MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) AGAINST (" +
           terms + ")) AND (rssurl != " + ex.playerUrl +
           ") AS score FROM videopodcasthistory WHERE (MATCH "
           "(rsstitle,rssdesc,rssurl,rssitemtitle) AGAINST (" +
           terms + " IN BOOLEAN MODE)) AND (rssurl != " + ex.playerUrl +
           ") ORDER BY score DESC LIMIT 1,249";
}

std::string PopularTextStatement(std::string_view box, int offset, const Exclusions& ex) {
    const std::string terms = BuildPlainTerms(box);
    return "SELECT HIGH_PRIORITY rssitemtitle,rssdesc,medialink,rsshostname,rsscat, mediatype, "
           "recnum, rsstitle,  ((MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) AGAINST (" +
           terms + ")) AND (rssurl != " + ex.playerUrl + ") AND" + " (rsshostname != " + ex.host +
           " )) AS score FROM videopodcasthistory WHERE ((MATCH "
           "(rsstitle,rssdesc,rssurl,rssitemtitle) AGAINST (" +
           terms + " IN BOOLEAN MODE)) AND " + "(rssurl != " + ex.playerUrl +
           ") AND (rsshostname != " + ex.host + ")) ORDER BY SCORE DESC LIMIT " +
           std::to_string(offset) + ",100";
}

std::string LatestTextStatement(std::string_view box, int offset, const TextSearchPieces& part) {
    const BooleanTerms t = BuildBooleanTerms(box);
    return part[1] + part[2] + "'" + t.terms + "'" + part[3] + t.categoryFilter + part[4] + " " +
           std::to_string(offset) + ",100";
}

std::string TextLibraryCountStatement() {
    return "SELECT count( * ) as total_record FROM videopodcasthistory;";
}

} // namespace search
