#include "harvest/CatalogueWriter.h"

#include "harvest/FeedDate.h"

#include "db/Query.h"
#include "ui/Utf8.h"

#include <algorithm>
#include <cctype>

namespace harvest {

namespace {

// Column lengths in characters (rssdesc is a TEXT of 65,535 bytes: a quarter of
// that in characters always fits, whatever they are).
constexpr std::size_t shortText = 255;
constexpr std::size_t urlText = 1024;
constexpr std::size_t mediaLinkText = 2048;

std::string cut(std::string_view text, std::size_t characters) {
    if (text.size() <= characters)
        return std::string(text);
    return ui::utf8::left(text, characters);
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool playableScheme(std::string_view link) {
    const std::size_t colon = link.find("://");
    if (colon == std::string_view::npos)
        return false;
    const std::string scheme = lower(link.substr(0, colon));
    for (const char* allowed : {"http", "https", "mms", "mmsh", "rtsp", "rtmp"})
        if (scheme == allowed)
            return true;
    return false;
}

// A media type for a link whose feed gave none, from its file name.
std::string typeOfLink(std::string_view link) {
    std::string path(link.substr(0, link.find_first_of("?#")));
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return {};
    const std::string extension = lower(std::string_view(path).substr(dot + 1));
    static const std::pair<const char*, const char*> types[] = {{"mp4", "video/mp4"},
                                                                {"m4v", "video/x-m4v"},
                                                                {"webm", "video/webm"},
                                                                {"ogv", "video/ogg"},
                                                                {"mov", "video/quicktime"},
                                                                {"flv", "video/flv"},
                                                                {"wmv", "video/x-ms-wmv"},
                                                                {"asf", "video/x-ms-asf"},
                                                                {"avi", "video/x-msvideo"},
                                                                {"mkv", "video/x-matroska"},
                                                                {"mpg", "video/mpeg"},
                                                                {"mpeg", "video/mpeg"},
                                                                {"mp3", "audio/mpeg"},
                                                                {"m4a", "audio/mp4"},
                                                                {"ogg", "audio/ogg"},
                                                                {"wma", "audio/x-ms-wma"},
                                                                {"m3u8", "application/x-mpegURL"}};
    for (const auto& [ext, type] : types)
        if (extension == ext)
            return type;
    return {};
}

} // namespace

std::string hostOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos)
        return {};
    std::string_view rest = url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos)
        rest = rest.substr(at + 1);
    if (!rest.empty() && rest.front() == '[') // an IPv6 address keeps its brackets
        return lower(rest.substr(0, rest.find(']') + 1));
    return lower(rest.substr(0, rest.find(':')));
}

std::optional<ItemRecord> recordOf(const FeedSource& source, const FeedInfo& info,
                                   const FeedItem& item, std::time_t now, std::string& why) {
    if (item.media.url.empty()) {
        why = "no media link";
        return std::nullopt;
    }
    if (!playableScheme(item.media.url)) {
        why = "not a link the player takes: " + cut(item.media.url, 100);
        return std::nullopt;
    }
    if (ui::utf8::length(item.media.url) > mediaLinkText) {
        why = "the media link is longer than " + std::to_string(mediaLinkText) + " characters";
        return std::nullopt;
    }
    ItemRecord r;
    r.feedTitle = cut(!source.title.empty() ? source.title : info.title, shortText);
    r.siteUrl = cut(!item.link.empty() ? item.link : info.link, urlText);
    std::string host = hostOf(item.link);
    if (host.empty())
        host = hostOf(item.media.url);
    r.host = cut(host, shortText);
    r.editor = cut(!info.editor.empty() ? info.editor : info.title, shortText);
    if (!source.category.empty())
        r.category = cut(source.category, 100);
    else if (!item.categories.empty())
        r.category = cut(item.categories.front(), 100);
    r.feedUrl = cut(source.url, urlText);
    r.language = cut(info.language, 16);
    r.pubDate = cut(item.pubDate, 64);
    r.title = cut(item.title.empty() ? std::string("(untitled)") : item.title, shortText);
    r.description = cut(item.description.empty() ? item.title : item.description, 16000);
    r.author = cut(item.author, shortText);
    r.guid = cut(item.guid, urlText);
    std::string keywords = item.keywords;
    if (keywords.empty())
        for (const std::string& category : item.categories)
            keywords += (keywords.empty() ? "" : ", ") + category;
    r.keywords = cut(keywords, 512);
    r.rating = cut(item.rating, 16);
    r.duration = item.media.duration;
    r.length = item.media.length;
    r.mediaLink = item.media.url;
    r.mediaType = cut(!item.media.type.empty() ? item.media.type : typeOfLink(item.media.url), 64);
    r.width = std::min(item.media.width, 65535u);
    r.height = std::min(item.media.height, 65535u);
    // The catalogue orders by when an item was harvested, so the newest page shows
    // what just arrived; the feed's own date stays in rsspubdate as written.
    r.dateTime = formatDateTime(now);
    r.thumbnailUrl = item.thumbnailUrl;
    return r;
}

std::string CatalogueWriter::quoted(std::string_view text) const {
    return "'" + db_.escape(text) + "'";
}

std::string CatalogueWriter::key(const ItemRecord& record) const {
    return "UNHEX(SHA2(" + quoted(record.mediaLink) + ",256))";
}

Upsert CatalogueWriter::outcome(std::uint64_t affected) {
    // Without CLIENT_FOUND_ROWS the server counts 1 for an insert, 2 for a row that
    // changed and 0 for one that stayed as it was.
    return affected == 1 ? Upsert::Inserted : affected == 0 ? Upsert::Unchanged : Upsert::Updated;
}

std::unordered_set<std::string>
CatalogueWriter::storedImageLinks(const std::vector<std::string>& links) {
    std::unordered_set<std::string> stored;
    if (links.empty())
        return stored;
    if (!db_.connected())
        db_.connect();
    std::string sql = "SELECT medialink FROM videosnap WHERE harvestkey IN (";
    for (std::size_t i = 0; i < links.size(); ++i)
        sql += (i ? ",UNHEX(SHA2(" : "UNHEX(SHA2(") + quoted(links[i]) + ",256))";
    sql += ")";
    db::Query query(db_, "");
    query.setSql(sql);
    query.open();
    for (; !query.eof(); query.next())
        stored.insert(query.field(0).text());
    return stored;
}

Upsert CatalogueWriter::writeImage(const ItemRecord& r, const std::string* thumbnail) {
    if (!db_.connected())
        db_.connect();
    const std::string picture = thumbnail ? quoted(*thumbnail) : std::string("NULL");
    const std::string sql =
        "INSERT INTO videosnap (rsstitle, rsshostname, rsseditor, rsscat, rssfeedurl, rssurl, "
        "rsslanguage, rsspubdate, rssitemtitle, rssdesc, rssauthor, rssguid, rsskeywords, "
        "rssrating, mediaduration, medialength, medialink, mediatype, mediawidth, mediaheight, "
        "datetimevalue, pictureblob, harvestkey) VALUES (" +
        quoted(r.feedTitle) + "," + quoted(r.host) + "," + quoted(r.editor) + "," +
        quoted(r.category) + "," + quoted(r.feedUrl) + "," + quoted(r.siteUrl) + "," +
        quoted(r.language) + "," + quoted(r.pubDate) + "," + quoted(r.title) + "," +
        quoted(r.description) + "," + quoted(r.author) + "," + quoted(r.guid) + "," +
        quoted(r.keywords) + "," + quoted(r.rating) + "," + std::to_string(r.duration) + "," +
        std::to_string(r.length) + "," + quoted(r.mediaLink) + "," + quoted(r.mediaType) + "," +
        std::to_string(r.width) + "," + std::to_string(r.height) + "," + quoted(r.dateTime) + "," +
        picture + "," + key(r) +
        ") ON DUPLICATE KEY UPDATE rsstitle=VALUES(rsstitle), rsshostname=VALUES(rsshostname), "
        "rsseditor=VALUES(rsseditor), rsscat=VALUES(rsscat), rssfeedurl=VALUES(rssfeedurl), "
        "rssurl=VALUES(rssurl), rsslanguage=VALUES(rsslanguage), rsspubdate=VALUES(rsspubdate), "
        "rssitemtitle=VALUES(rssitemtitle), rssdesc=VALUES(rssdesc), "
        "rssauthor=VALUES(rssauthor), rssguid=VALUES(rssguid), rsskeywords=VALUES(rsskeywords), "
        "rssrating=VALUES(rssrating), mediaduration=VALUES(mediaduration), "
        "medialength=VALUES(medialength), mediatype=VALUES(mediatype), "
        "mediawidth=VALUES(mediawidth), mediaheight=VALUES(mediaheight), "
        "pictureblob=COALESCE(VALUES(pictureblob), pictureblob)";
    return outcome(db_.execute(sql));
}

Upsert CatalogueWriter::writeText(const ItemRecord& r) {
    if (!db_.connected())
        db_.connect();
    const std::string sql =
        "INSERT INTO videopodcasthistory (rsstitle, rssitemtitle, rssdesc, rssurl, rsshostname, "
        "rsscat, medialink, mediatype, datetimevalue, harvestkey) VALUES (" +
        quoted(r.feedTitle) + "," + quoted(r.title) + "," + quoted(r.description) + "," +
        quoted(r.siteUrl) + "," + quoted(r.host) + "," + quoted(r.category) + "," +
        quoted(r.mediaLink) + "," + quoted(r.mediaType) + "," + quoted(r.dateTime) + "," + key(r) +
        ") ON DUPLICATE KEY UPDATE rsstitle=VALUES(rsstitle), rssitemtitle=VALUES(rssitemtitle), "
        "rssdesc=VALUES(rssdesc), rssurl=VALUES(rssurl), rsshostname=VALUES(rsshostname), "
        "rsscat=VALUES(rsscat), mediatype=VALUES(mediatype)";
    return outcome(db_.execute(sql));
}

} // namespace harvest
