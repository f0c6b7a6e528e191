#include "harvest/Feed.h"
#include "harvest/FeedDate.h"

#include <libxml/parser.h>
#include <libxml/xmlreader.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "ui/Convert.h"

namespace harvest {

namespace {

constexpr std::string_view atomNs = "http://www.w3.org/2005/Atom";
constexpr std::string_view rss1Ns = "http://purl.org/rss/1.0/";
constexpr std::string_view dcNs = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view itunesNs = "http://www.itunes.com/dtds/podcast-1.0.dtd";

bool isMediaNs(std::string_view ns) {
    return ns == "http://search.yahoo.com/mrss/" || ns == "http://search.yahoo.com/mrss";
}

// Nothing outside the document is ever read: not a DTD, not an external entity,
// whatever the parser options say.
xmlParserInputPtr refuseExternal(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void initialiseLibxml() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(&refuseExternal);
    });
}

// No network, no DTD loading, no entity substitution, no huge-document relaxations;
// CDATA sections read as text. Messages come through the error handler only.
constexpr int readerOptions = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOERROR |
                              XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;

struct ReaderFree {
    void operator()(xmlTextReaderPtr reader) const noexcept { xmlFreeTextReader(reader); }
};
using Reader = std::unique_ptr<xmlTextReader, ReaderFree>;

std::string_view view(const xmlChar* text) {
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

std::string_view localName(const xmlNode* node) {
    return view(node->name);
}
std::string_view nsOf(const xmlNode* node) {
    return node->ns ? view(node->ns->href) : std::string_view();
}

// The text inside a node: its text and CDATA descendants. Entity references are
// left out rather than followed, so no entity is ever expanded.
void appendText(const xmlNode* node, std::string& out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
            out += view(child->content);
        else if (child->type == XML_ELEMENT_NODE)
            appendText(child, out);
    }
}

std::string trim(std::string_view text) {
    return std::string(ui::trimmed(text));
}

std::string textOf(const xmlNode* node) {
    std::string out;
    appendText(node, out);
    return trim(out);
}

// An attribute's value from its text children alone (see appendText).
std::string attribute(const xmlNode* node, std::string_view name) {
    for (const xmlAttr* attr = node->properties; attr; attr = attr->next) {
        if (view(attr->name) != name)
            continue;
        std::string out;
        for (const xmlNode* child = attr->children; child; child = child->next)
            if (child->type == XML_TEXT_NODE)
                out += view(child->content);
        return trim(out);
    }
    return {};
}

std::uint64_t number(std::string_view text) {
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        if (value > (UINT64_MAX - 9) / 10)
            return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

unsigned smallNumber(std::string_view text, unsigned limit) {
    const std::uint64_t value = number(text);
    return value > limit ? 0 : static_cast<unsigned>(value);
}

// "90", "1:30" or "01:01:30" (itunes:duration) as seconds.
unsigned duration(std::string_view text) {
    std::uint64_t total = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t colon = text.find(':', start);
        const std::string_view part =
            text.substr(start, colon == std::string_view::npos ? text.npos : colon - start);
        total = total * 60 + number(part);
        if (total > 10'000'000)
            return 0;
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    return static_cast<unsigned>(total);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

MediaFile mediaContent(const xmlNode* node) {
    MediaFile file;
    file.url = attribute(node, "url");
    file.type = attribute(node, "type");
    file.medium = attribute(node, "medium");
    file.length = number(attribute(node, "fileSize"));
    file.duration = smallNumber(attribute(node, "duration"), 10'000'000);
    file.width = smallNumber(attribute(node, "width"), 65535);
    file.height = smallNumber(attribute(node, "height"), 65535);
    file.isDefault = attribute(node, "isDefault") == "true";
    return file;
}

// How well a media file serves as the item's video: video before audio, a file of
// unknown type after both, the feed's default first among equals; -1 for a file
// that is no video at all (a picture, a page).
int rank(const MediaFile& file) {
    if (file.url.empty())
        return -1;
    int kind = 1;
    if (startsWith(file.type, "video/") || file.medium == "video")
        kind = 3;
    else if (startsWith(file.type, "audio/") || file.medium == "audio")
        kind = 2;
    else if (startsWith(file.type, "image/") || startsWith(file.type, "text/") ||
             file.medium == "image" || file.medium == "document")
        return -1;
    return kind * 2 + (file.isDefault ? 1 : 0);
}

struct ItemParts {
    FeedItem item;
    std::vector<MediaFile> candidates;
    std::string mediaTitle;
    std::string mediaDescription;
    std::string imageFallback; ///< a picture offered as an enclosure or content
    std::string atomUpdated;
    std::string mediaCategory;
};

void readMedia(const xmlNode* node, ItemParts& parts) {
    const std::string_view name = localName(node);
    if (name == "group") {
        for (const xmlNode* child = node->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE && isMediaNs(nsOf(child)))
                readMedia(child, parts);
    } else if (name == "content") {
        MediaFile file = mediaContent(node);
        if (rank(file) < 0 && parts.imageFallback.empty() &&
            (file.medium == "image" || startsWith(file.type, "image/")))
            parts.imageFallback = file.url;
        parts.candidates.push_back(std::move(file));
        for (const xmlNode* child = node->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE && isMediaNs(nsOf(child)))
                readMedia(child, parts);
    } else if (name == "thumbnail") {
        if (parts.item.thumbnailUrl.empty())
            parts.item.thumbnailUrl = attribute(node, "url");
    } else if (name == "title") {
        if (parts.mediaTitle.empty())
            parts.mediaTitle = textOf(node);
    } else if (name == "description") {
        if (parts.mediaDescription.empty())
            parts.mediaDescription = textOf(node);
    } else if (name == "category") {
        if (parts.mediaCategory.empty())
            parts.mediaCategory = textOf(node);
    } else if (name == "keywords") {
        if (parts.item.keywords.empty())
            parts.item.keywords = textOf(node);
    } else if (name == "rating") {
        if (parts.item.rating.empty())
            parts.item.rating = textOf(node);
    } else if (name == "credit") {
        if (parts.item.author.empty())
            parts.item.author = textOf(node);
    }
}

void readRssChild(const xmlNode* node, ItemParts& parts) {
    FeedItem& item = parts.item;
    const std::string_view name = localName(node);
    if (name == "title")
        item.title = textOf(node);
    else if (name == "link")
        item.link = textOf(node);
    else if (name == "description")
        item.description = textOf(node);
    else if (name == "author")
        item.author = textOf(node);
    else if (name == "guid")
        item.guid = textOf(node);
    else if (name == "pubDate")
        item.pubDate = textOf(node);
    else if (name == "category") {
        if (std::string text = textOf(node); !text.empty())
            item.categories.push_back(std::move(text));
    } else if (name == "enclosure") {
        MediaFile file;
        file.url = attribute(node, "url");
        file.type = attribute(node, "type");
        file.length = number(attribute(node, "length"));
        if (rank(file) < 0 && startsWith(file.type, "image/") && parts.imageFallback.empty())
            parts.imageFallback = file.url;
        parts.candidates.push_back(std::move(file));
    }
}

void readAtomChild(const xmlNode* node, ItemParts& parts) {
    FeedItem& item = parts.item;
    const std::string_view name = localName(node);
    if (name == "title")
        item.title = textOf(node);
    else if (name == "id")
        item.guid = textOf(node);
    else if (name == "published")
        item.pubDate = textOf(node);
    else if (name == "updated")
        parts.atomUpdated = textOf(node);
    else if (name == "summary") {
        if (item.description.empty())
            item.description = textOf(node);
    } else if (name == "content") {
        if (item.description.empty())
            item.description = textOf(node);
    } else if (name == "category") {
        if (std::string term = attribute(node, "term"); !term.empty())
            item.categories.push_back(std::move(term));
    } else if (name == "author") {
        for (const xmlNode* child = node->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE && localName(child) == "name" &&
                item.author.empty())
                item.author = textOf(child);
    } else if (name == "link") {
        std::string rel = attribute(node, "rel");
        if (rel.empty())
            rel = "alternate";
        if (rel == "alternate" && item.link.empty()) {
            item.link = attribute(node, "href");
        } else if (rel == "enclosure") {
            MediaFile file;
            file.url = attribute(node, "href");
            file.type = attribute(node, "type");
            file.length = number(attribute(node, "length"));
            if (rank(file) < 0 && startsWith(file.type, "image/") && parts.imageFallback.empty())
                parts.imageFallback = file.url;
            parts.candidates.push_back(std::move(file));
        }
    }
}

FeedItem finishItem(ItemParts&& parts) {
    FeedItem item = std::move(parts.item);
    if (item.title.empty())
        item.title = std::move(parts.mediaTitle);
    if (item.description.empty())
        item.description = std::move(parts.mediaDescription);
    item.title = plainText(item.title);
    item.description = plainText(item.description);
    if (item.pubDate.empty())
        item.pubDate = std::move(parts.atomUpdated);
    item.published = parseFeedDate(item.pubDate);
    if (!parts.mediaCategory.empty())
        item.categories.insert(item.categories.begin(), std::move(parts.mediaCategory));
    int best = -1;
    for (MediaFile& file : parts.candidates) {
        const int r = rank(file);
        if (r > best) {
            best = r;
            item.media = file;
        }
    }
    if (best < 0)
        item.media = MediaFile{};
    if (item.thumbnailUrl.empty())
        item.thumbnailUrl = std::move(parts.imageFallback);
    return item;
}

FeedItem readItem(const xmlNode* node, FeedFormat format) {
    ItemParts parts;
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        const std::string_view ns = nsOf(child);
        if (isMediaNs(ns)) {
            readMedia(child, parts);
        } else if (ns == dcNs) {
            const std::string_view name = localName(child);
            if (name == "creator" && parts.item.author.empty())
                parts.item.author = textOf(child);
            else if (name == "date" && parts.item.pubDate.empty())
                parts.item.pubDate = textOf(child);
            else if (name == "subject")
                parts.item.categories.push_back(textOf(child));
        } else if (ns == itunesNs) {
            const std::string_view name = localName(child);
            if (name == "image" && parts.imageFallback.empty())
                parts.imageFallback = attribute(child, "href");
            else if (name == "duration")
                parts.item.media.duration = duration(textOf(child));
            else if (name == "author" && parts.item.author.empty())
                parts.item.author = textOf(child);
        } else if (format == FeedFormat::Atom ? ns == atomNs : (ns.empty() || ns == rss1Ns)) {
            if (format == FeedFormat::Atom)
                readAtomChild(child, parts);
            else
                readRssChild(child, parts);
        }
    }
    const unsigned itunesDuration = parts.item.media.duration;
    FeedItem item = finishItem(std::move(parts));
    if (item.media.duration == 0)
        item.media.duration = itunesDuration;
    return item;
}

void readFeedChild(const xmlNode* node, FeedFormat format, FeedInfo& info) {
    const std::string_view name = localName(node);
    const std::string_view ns = nsOf(node);
    if (format == FeedFormat::Atom && ns == atomNs) {
        if (name == "title")
            info.title = plainText(textOf(node));
        else if (name == "link" && info.link.empty()) {
            const std::string rel = attribute(node, "rel");
            if (rel.empty() || rel == "alternate")
                info.link = attribute(node, "href");
        } else if (name == "author" && info.editor.empty()) {
            for (const xmlNode* child = node->children; child; child = child->next)
                if (child->type == XML_ELEMENT_NODE && localName(child) == "name")
                    info.editor = textOf(child);
        }
    } else if (format == FeedFormat::Rss && (ns.empty() || ns == rss1Ns)) {
        if (name == "title")
            info.title = plainText(textOf(node));
        else if (name == "link")
            info.link = textOf(node);
        else if (name == "language")
            info.language = textOf(node);
        else if (name == "managingEditor" && info.editor.empty())
            info.editor = textOf(node);
    } else if (ns == dcNs && name == "language" && info.language.empty()) {
        info.language = textOf(node);
    } else if ((ns == dcNs && name == "creator") || (ns == itunesNs && name == "author")) {
        if (info.editor.empty())
            info.editor = textOf(node);
    }
}

struct ErrorText {
    std::string text;
};

void collectError(void* arg, const char* msg, xmlParserSeverities severity,
                  xmlTextReaderLocatorPtr locator) {
    auto* error = static_cast<ErrorText*>(arg);
    if (severity != XML_PARSER_SEVERITY_ERROR && severity != XML_PARSER_SEVERITY_VALIDITY_ERROR)
        return;
    if (!error->text.empty())
        return;
    std::string text = trim(msg ? msg : "malformed XML");
    const int line = locator ? xmlTextReaderLocatorLineNumber(locator) : 0;
    error->text = line > 0 ? "line " + std::to_string(line) + ": " + text : text;
}

ParseOutcome parse(xmlTextReaderPtr raw, const ItemSink& onItem) {
    ParseOutcome outcome;
    Reader reader(raw);
    if (!reader) {
        outcome.error = "cannot open the feed";
        return outcome;
    }
    ErrorText error;
    xmlTextReaderSetErrorHandler(reader.get(), &collectError, &error);
    FeedFormat format = FeedFormat::Unknown;
    int channelDepth = -1; // depth of the element whose children describe the feed
    int status = xmlTextReaderRead(reader.get());
    while (status == 1) {
        if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT) {
            status = xmlTextReaderRead(reader.get());
            continue;
        }
        const int depth = xmlTextReaderDepth(reader.get());
        const std::string_view name = view(xmlTextReaderConstLocalName(reader.get()));
        const std::string_view ns = view(xmlTextReaderConstNamespaceUri(reader.get()));
        if (depth == 0) {
            if (name == "feed" && ns == atomNs) {
                format = FeedFormat::Atom;
                channelDepth = 0;
            } else if (name == "rss" || name == "RDF") {
                format = FeedFormat::Rss;
            } else {
                outcome.error =
                    "not an RSS or Atom feed: the document is <" + std::string(name) + ">";
                return outcome;
            }
            outcome.info.format = format;
            status = xmlTextReaderRead(reader.get());
            continue;
        }
        if (format == FeedFormat::Rss && depth == 1 && name == "channel") {
            channelDepth = 1;
            status = xmlTextReaderRead(reader.get());
            continue;
        }
        const bool isItem = format == FeedFormat::Atom
                                ? (name == "entry" && ns == atomNs)
                                : (name == "item" && (ns.empty() || ns == rss1Ns));
        if (isItem || depth == channelDepth + 1) {
            const xmlNode* node = xmlTextReaderExpand(reader.get());
            if (!node)
                break; // the subtree is not well-formed; the error says why
            if (isItem) {
                FeedItem item = readItem(node, format);
                ++outcome.items;
                onItem(outcome.info, std::move(item));
            } else {
                readFeedChild(node, format, outcome.info);
            }
            status = xmlTextReaderNext(reader.get());
            continue;
        }
        status = xmlTextReaderRead(reader.get());
    }
    if (status == 0 && error.text.empty() && format != FeedFormat::Unknown) {
        outcome.ok = true;
        return outcome;
    }
    if (!error.text.empty())
        outcome.error = error.text;
    else if (format == FeedFormat::Unknown)
        outcome.error = "the feed is empty";
    else
        outcome.error = "malformed XML";
    return outcome;
}

int decodeEntity(std::string_view name) {
    if (name == "amp")
        return '&';
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "quot")
        return '"';
    if (name == "apos")
        return '\'';
    if (name == "nbsp")
        return 0xA0;
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits(name.substr(hex ? 2 : 1));
        if (digits.empty() || digits.size() > 7)
            return -1;
        char* end = nullptr;
        const long value = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
        if (*end != '\0' || value <= 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return -1;
        return static_cast<int>(value);
    }
    return -1;
}

void appendUtf8(std::string& out, int code) {
    const auto c = static_cast<unsigned>(code);
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string plainText(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    bool blank = false;
    const auto put = [&](char c) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
            blank = !out.empty();
            return;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    };
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t close = html.find('>', i);
            // A lone '<' (as in "a < b") is text; a tag is a word break.
            if (close != std::string_view::npos && i + 1 < html.size() &&
                (std::isalpha(static_cast<unsigned char>(html[i + 1])) || html[i + 1] == '/' ||
                 html[i + 1] == '!')) {
                put(' ');
                i = close;
                continue;
            }
        } else if (c == '&') {
            const std::size_t semi = html.find(';', i);
            if (semi != std::string_view::npos && semi - i <= 10) {
                const int code = decodeEntity(html.substr(i + 1, semi - i - 1));
                if (code == 0xA0) {
                    put(' ');
                    i = semi;
                    continue;
                }
                if (code > 0) {
                    std::string decoded;
                    appendUtf8(decoded, code);
                    for (char d : decoded)
                        put(d);
                    i = semi;
                    continue;
                }
            }
        }
        put(c);
    }
    return out;
}

ParseOutcome parseFeedFile(const std::string& path, const ItemSink& onItem) {
    initialiseLibxml();
    return parse(xmlReaderForFile(path.c_str(), nullptr, readerOptions), onItem);
}

ParseOutcome parseFeedText(std::string_view xml, const ItemSink& onItem) {
    initialiseLibxml();
    if (xml.size() > static_cast<std::size_t>(INT32_MAX)) {
        ParseOutcome outcome;
        outcome.error = "the feed is too large";
        return outcome;
    }
    return parse(xmlReaderForMemory(xml.data(), static_cast<int>(xml.size()), "feed.xml", nullptr,
                                    readerOptions),
                 onItem);
}

} // namespace harvest
