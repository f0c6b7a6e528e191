#include "search/ImageStatements.h"

#include "search/SearchTerms.h"
#include "search/SqlText.h"

namespace search {

std::string ImageSearchBase(std::string_view box, bool mostRecent, const ImageSearchPieces& part) {
    const BooleanTerms t = BuildBooleanTerms(box);
    const std::string terms = "'" + t.terms + "'";
    if (mostRecent)
        return part[1] + terms + part[2] + t.categoryFilter + part[3] + " ";
    return part[4] + terms + "))" + t.categoryScore + part[5] + part[6] + terms + part[7] +
           t.categoryFilter + part[8] + " ";
}

std::string VisualSearchBase(std::string_view box, bool mostRecent, const Exclusions& ex) {
    const BooleanTerms t = BuildBooleanTerms(box);
    const std::string where = "'" + t.terms + "'" + " IN BOOLEAN MODE))" + t.categoryFilter +
                              " AND " + "(rssurl != " + ex.playerUrl +
                              ") AND (rsshostname != " + ex.host + ")) ORDER BY ";
    if (mostRecent)
        return "SELECT HIGH_PRIORITY * FROM videosnap WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) "
               "AGAINST (" +
               where + "recnum DESC LIMIT ";
    return "SELECT HIGH_PRIORITY *, ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST ('" + t.terms +
           "'" + "))" + t.categoryScore + " AND (rssurl != " + ex.playerUrl + ")" +
           "AND (rsshostname != " + ex.host +
           ")) AS score FROM videosnap WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST (" +
           where + "score DESC LIMIT ";
}

std::string PictureLookupStatement(std::string_view mediaLink) {
    return "SELECT * FROM videosnap WHERE medialink = \"" + escapeLiteral(mediaLink, '"') +
           "\"  LIMIT 0,1";
}

} // namespace search
