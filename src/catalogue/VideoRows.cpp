#include "catalogue/VideoRows.h"

namespace catalogue {

Item itemByPosition(const db::Query& row) {
    Item item;
    item.title = row.field(kTitleColumn).text();
    item.description = item.title;
    item.siteUrl = row.field(kSiteColumn).text();
    item.mediaType = row.field(kMediaTypeColumn).text();
    item.recnum = row.field(kRecnumColumn).text();
    item.feedTitle = row.field(kFeedTitleColumn).text();
    return item;
}

Item itemByName(const db::Query& row) {
    Item item;
    item.description = row.field("rssdesc").text();
    item.siteUrl = row.field("rssurl").text();
    item.mediaType = row.field("mediatype").text();
    item.recnum = row.field("recnum").text();
    item.feedTitle = row.field("rsstitle").text();
    item.title = row.field("rssitemtitle").text();
    return item;
}

void SaveThumbnail(const db::Query& row, const std::string& file, int pictureColumn) {
    row.field(pictureColumn).saveToFile(file);
}

} // namespace catalogue
