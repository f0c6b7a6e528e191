// zorvex-demo-seed: fills the demo catalogue (demo/schema.sql must be loaded) with
// a reproducible set of plausible video items, their thumbnails and text-library
// rows, the page topics, side tabs, categories, the global settings and the site key.
//
//   zorvex-demo-seed [--socket PATH | --host H --port N] [--user U] [--password P]
//                    [--items N] [--text-items N] [--media-dir DIR] [--seed S]
//
// --items is the size of the image library; --text-items that of the text library
// (by default the same): the text library holds the same items, and more when it
// is the larger, so a benchmark can fill it to a million rows without a million
// thumbnails.
//
// Existing rows are replaced. Runs single-threaded; the database library's start
// runs on its own thread as everywhere.

#include "db/ClientSession.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"
#include "ui/Picture.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr long maxItems = 1'000'000;
constexpr int thumbnailCount = 64;
constexpr int thumbnailWidth = 120;
constexpr int thumbnailHeight = 90;
// Statements stay well below the server's packet limit (16 MiB by default).
constexpr std::size_t batchBytes = 2u << 20;

// The two values every catalogue search excludes; the program's configuration
// names the same ones. A few seeded rows carry them so the exclusions show.
constexpr std::string_view excludedPlayerUrl = "http://www.mtv.com/overdrive/player.jhtml";
constexpr std::string_view excludedHost = "youtube.com";

struct Options {
    std::string host;
    unsigned port = 3306;
    std::string socket;
    std::string user = "root";
    std::string password;
    long items = 2000;
    long textItems = -1; ///< -1: as many as `items`
    fs::path mediaDir = "var/media";
    std::uint64_t seed = 1;
};

[[noreturn]] void usage(const std::string& complaint) {
    if (!complaint.empty())
        std::cerr << "zorvex-demo-seed: " << complaint << "\n";
    std::cerr
        << "usage: zorvex-demo-seed [--socket PATH | --host HOST --port N] [--user U]\n"
           "                        [--password P] [--items N] [--text-items N] [--media-dir DIR]\n"
           "                        [--seed S]\n";
    std::exit(2);
}

long parseNumber(const std::string& text, const char* what) {
    try {
        std::size_t used = 0;
        const long value = std::stol(text, &used);
        if (used != text.size() || value < 0)
            throw std::invalid_argument(text);
        return value;
    } catch (const std::exception&) {
        usage(std::string("bad ") + what + ": " + text);
    }
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                usage(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--host")
            options.host = value();
        else if (arg == "--port")
            options.port = static_cast<unsigned>(parseNumber(value(), "port"));
        else if (arg == "--socket")
            options.socket = value();
        else if (arg == "--user")
            options.user = value();
        else if (arg == "--password")
            options.password = value();
        else if (arg == "--items")
            options.items = parseNumber(value(), "item count");
        else if (arg == "--text-items")
            options.textItems = parseNumber(value(), "text item count");
        else if (arg == "--media-dir")
            options.mediaDir = value();
        else if (arg == "--seed")
            options.seed = static_cast<std::uint64_t>(parseNumber(value(), "seed"));
        else if (arg == "-h" || arg == "--help")
            usage("");
        else
            usage("unknown option " + arg);
    }
    if (options.textItems < 0)
        options.textItems = options.items;
    if (options.items > maxItems || options.textItems > maxItems)
        usage("at most " + std::to_string(maxItems) + " items");
    if (options.host.empty() && options.socket.empty())
        options.host = "127.0.0.1";
    return options;
}

// A small deterministic generator (splitmix64), so a seed gives the same catalogue
// on every machine and standard library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[below(N)];
    }
    template <typename T> const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }

  private:
    std::uint64_t state_;
};

// ---- the catalogue's vocabulary ----

struct Feed {
    std::string_view title;
    std::string_view host;
    std::string_view editor;
};

struct Category {
    std::string_view name;                     // rsscat
    std::array<std::string_view, 4> subtopics; // words that appear in titles
    std::array<Feed, 3> feeds;
};

const std::array<Category, 12> categories = {{
    {"News",
     {"election", "economy", "weather", "parliament"},
     {{{"Harbour City Newsroom", "news.harbourcity.example", "Harbour City Media"},
       {"Evening Bulletin", "bulletin.example.net", "Ruth Ellery"},
       {"Capital Report", "capitalreport.example.org", "Capital Report Desk"}}}},
    {"World",
     {"europe", "asia", "africa", "americas"},
     {{{"Global Dispatch", "dispatch.example.com", "Global Dispatch Team"},
       {"Far Horizons World", "farhorizons.example.net", "Tomas Varga"},
       {"Open Borders TV", "openborders.example.org", "Open Borders"}}}},
    {"Aus News",
     {"sydney", "melbourne", "brisbane", "perth"},
     {{{"Southern Cross Daily", "southerncross.example.com.au", "Southern Cross Media"},
       {"Outback Wire", "outbackwire.example.net.au", "Jenna Whitlock"},
       {"Coastal Crier", "coastalcrier.example.org.au", "Coastal Crier Staff"}}}},
    {"Sport",
     {"football", "cricket", "tennis", "surfing"},
     {{{"Full Time Sports", "fulltime.example.com", "Full Time Sports"},
       {"Boundary Line", "boundaryline.example.net", "Marcus Pell"},
       {"ABC USA", "video.abcusa.example.com", "ABC USA Sports"}}}},
    {"Music",
     {"concert", "acoustic", "festival", "interview"},
     {{{"Backstage Pass", "backstage.example.com", "Backstage Pass Crew"},
       {"Vinyl Hours", "vinylhours.example.net", "Ada Lindqvist"},
       {"Amplified", "amplified.example.org", "Amplified Music"}}}},
    {"Comedy",
     {"standup", "sketch", "parody", "pranks"},
     {{{"Laugh Track", "laughtrack.example.com", "Laugh Track Studios"},
       {"The Late Late Bit", "latelatebit.example.net", "Dev Chaudhry"},
       {"Punchline Weekly", "punchline.example.org", "Punchline Weekly"}}}},
    {"Science",
     {"space", "climate", "physics", "biology"},
     {{{"Curious Minds", "curiousminds.example.com", "Curious Minds Lab"},
       {"Orbit Notes", "orbitnotes.example.net", "Priya Raman"},
       {"Field Journal", "fieldjournal.example.org", "Field Journal"}}}},
    {"Technology",
     {"gadgets", "software", "robots", "internet"},
     {{{"Circuit Board", "circuitboard.example.com", "Circuit Board Reviews"},
       {"Bits and Bytes", "bitsandbytes.example.net", "Leo Hartmann"},
       {"Future Shop Talk", "futureshop.example.org", "Future Shop"}}}},
    {"Travel",
     {"beaches", "mountains", "cities", "islands"},
     {{{"Wanderlust Weekly", "wanderlust.example.com", "Wanderlust Media"},
       {"Backpack Diaries", "backpackdiaries.example.net", "Sofia Marin"},
       {"Slow Road", "slowroad.example.org", "Slow Road Travel"}}}},
    {"Entertainment",
     {"movies", "television", "celebrity", "trailers"},
     {{{"Red Carpet Reel", "redcarpet.example.com", "Red Carpet Reel"},
       {"Screen Time", "screentime.example.net", "Olu Adebayo"},
       {"Premiere Night", "premierenight.example.org", "Premiere Night"}}}},
    {"Animals",
     {"cats", "dogs", "wildlife", "ocean"},
     {{{"Paws and Claws", "pawsandclaws.example.com", "Paws and Claws"},
       {"Wild Lens", "wildlens.example.net", "Hana Mori"},
       {"Reef Watch", "reefwatch.example.org", "Reef Watch Volunteers"}}}},
    {"Business",
     {"markets", "startups", "property", "energy"},
     {{{"Market Close", "marketclose.example.com", "Market Close Desk"},
       {"Founders Hour", "foundershour.example.net", "Grace Okafor"},
       {"Ledger Live", "ledgerlive.example.org", "Ledger Live"}}}},
}};

const std::array<std::string_view, 14> openers = {"Inside the",
                                                  "Behind the scenes of the",
                                                  "A day with the",
                                                  "Live from the",
                                                  "The story of the",
                                                  "Rare footage of the",
                                                  "First look at the",
                                                  "Highlights of the",
                                                  "Breaking: the",
                                                  "Weekend guide to the",
                                                  "Ten minutes with the",
                                                  "Uncut: the",
                                                  "Why everyone is talking about the",
                                                  "Looking back at the"};
const std::array<std::string_view, 16> nouns = {
    "season",  "crowd",   "debate", "showcase", "launch",   "record",   "comeback", "showdown",
    "journey", "mystery", "rescue", "parade",   "marathon", "festival", "surprise", "finale"};
const std::array<std::string_view, 12> places = {
    "the harbour",     "the city centre",  "a small country town", "the north coast",
    "the old market",  "a packed stadium", "the riverside",        "the main square",
    "a remote valley", "the studio",       "the waterfront",       "the high plains"};
const std::array<std::string_view, 10> moods = {"the mood was electric",
                                                "nobody expected what happened next",
                                                "the crowd could hardly believe it",
                                                "the locals had seen it all before",
                                                "the weather nearly stopped everything",
                                                "it all came down to the last minute",
                                                "the cameras kept rolling",
                                                "the organisers were thrilled",
                                                "the critics were divided",
                                                "it quickly became the talk of the week"};

// Where scripts/demo-web serves the clips of var/media under /media/.
constexpr std::string_view demoWebHost = "127.0.0.1:8090";

// The media types the player routes by, with the clip of each.
struct MediaKind {
    std::string_view extension;
    std::string_view mimeType;
};
const std::array<MediaKind, 4> mediaKinds = {{{".wmv", "video/x-ms-wmv"},
                                              {".asf", "video/x-ms-asf"},
                                              {".wma", "audio/x-ms-wma"},
                                              {".flv", "video/flv"}}};

std::string capitalised(std::string_view word) {
    std::string text(word);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// "2024-06-30 12:00:00" for a time_t, in UTC so the data are the same everywhere.
std::string formatDateTime(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// ---- thumbnails ----

struct Rgb {
    double r, g, b;
};

Rgb fromHue(double hue, double saturation, double value) {
    const double c = value * saturation;
    const double h = std::fmod(hue, 360.0) / 60.0;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    Rgb rgb{0, 0, 0};
    if (h < 1)
        rgb = {c, x, 0};
    else if (h < 2)
        rgb = {x, c, 0};
    else if (h < 3)
        rgb = {0, c, x};
    else if (h < 4)
        rgb = {0, x, c};
    else if (h < 5)
        rgb = {x, 0, c};
    else
        rgb = {c, 0, x};
    const double m = value - c;
    return {rgb.r + m, rgb.g + m, rgb.b + m};
}

// Thumbnail `index`: a coloured gradient with a sun-like disc, a hill line and a
// play mark, different for every index.
std::vector<std::uint8_t> makeThumbnail(int index) {
    const int w = thumbnailWidth;
    const int h = thumbnailHeight;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w * h * 3));
    const double hue = index * 360.0 / thumbnailCount;
    const double discX = 20 + (index * 37) % 80;
    const double discY = 18 + (index * 11) % 30;
    const double discR = 9 + index % 7;
    const double hill = 0.55 + 0.15 * std::sin(index * 1.7);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double fy = static_cast<double>(y) / h;
            Rgb colour = fromHue(hue, 0.55, 0.35 + 0.55 * (1 - fy));
            const double dx = x - discX;
            const double dy = y - discY;
            if (dx * dx + dy * dy < discR * discR)
                colour = fromHue(hue + 180, 0.6, 0.95);
            const double ground = h * (hill + 0.08 * std::sin(x / 14.0 + index));
            if (y > ground)
                colour = fromHue(hue + 90, 0.5, 0.3 + 0.2 * fy);
            // A pale play triangle in the middle.
            const double px = x - (w / 2.0 - 8);
            const double py = y - h / 2.0;
            if (px >= 0 && px < 18 && std::fabs(py) < 10 - px * 10 / 18)
                colour = {0.92, 0.92, 0.92};
            std::uint8_t* pixel = &rgb[static_cast<std::size_t>((y * w + x) * 3)];
            pixel[0] = static_cast<std::uint8_t>(std::clamp(colour.r, 0.0, 1.0) * 255);
            pixel[1] = static_cast<std::uint8_t>(std::clamp(colour.g, 0.0, 1.0) * 255);
            pixel[2] = static_cast<std::uint8_t>(std::clamp(colour.b, 0.0, 1.0) * 255);
        }
    }
    return ui::Picture::encodeJpeg(w, h, rgb, 80);
}

// ---- items ----

struct Item {
    std::string feedTitle, host, editor, category, feedUrl, siteUrl, pubDate, title, description,
        author, guid, keywords, rating, link, mediaType, dateTime;
    unsigned duration = 0;
    unsigned long long length = 0;
    unsigned width = 0, height = 0;
    int thumbnail = 0;
};

class ItemMaker {
  public:
    ItemMaker(std::uint64_t seed, long count, const fs::path& mediaDir)
        : random_(seed), count_(count) {
        for (const MediaKind& kind : mediaKinds)
            clipLinks_.push_back("file://" +
                                 (mediaDir / ("demo-clip" + std::string(kind.extension))).string());
    }

    // Item `i` (0-based); later items are newer.
    Item make(long i) {
        Item item;
        const Category& category = categories[random_.below(categories.size())];
        const std::string_view subtopic = random_.pick(category.subtopics);
        Feed feed = random_.pick(category.feeds);
        // About one item in a hundred comes from the host every search excludes.
        const bool excluded = random_.chance(1);
        item.feedTitle = std::string(feed.title);
        item.host = excluded ? std::string(excludedHost) : std::string(feed.host);
        item.editor = std::string(feed.editor);
        item.category = std::string(category.name);
        item.feedUrl =
            "http://" + std::string(feed.host) + "/rss/" + std::string(subtopic) + ".xml";
        item.siteUrl = random_.chance(1)
                           ? std::string(excludedPlayerUrl)
                           : "http://" + item.host + "/watch/" + std::to_string(100000 + i);

        const std::string topic = capitalised(subtopic);
        const std::string_view noun = random_.pick(nouns);
        item.title = std::string(random_.pick(openers)) + " " + std::string(subtopic) + " " +
                     std::string(noun);
        if (random_.chance(20))
            item.title += " (part " + std::to_string(1 + random_.below(4)) + ")";
        item.description = topic + " " + std::string(noun) + " filmed at " +
                           std::string(random_.pick(places)) + ": " +
                           std::string(random_.pick(moods)) + ". " + std::string(feed.editor) +
                           " reports for " + std::string(feed.title) + ".";
        if (random_.chance(50))
            item.description += " More " + std::string(category.name) + " videos every day on " +
                                std::string(feed.host) + ".";
        item.author = std::string(feed.editor);
        item.guid = item.siteUrl + "#" + std::to_string(i);
        item.keywords =
            std::string(subtopic) + ", " + std::string(noun) + ", " + std::string(category.name);
        item.rating = random_.chance(85) ? "G" : "PG";

        // Newest last: about three hours apart, a fixed anchor keeps seeds reproducible.
        const std::time_t anchor = 1719748800; // 2024-06-30 12:00:00 UTC
        const std::time_t when = anchor - static_cast<std::time_t>(count_ - i) * 10800 +
                                 static_cast<std::time_t>(random_.below(7200));
        item.dateTime = formatDateTime(when);
        item.pubDate = item.dateTime + " +0000";

        const std::size_t kind = static_cast<std::size_t>(i) % mediaKinds.size();
        item.mediaType = std::string(mediaKinds[kind].mimeType);
        if (random_.chance(75)) {
            item.link = clipLinks_[kind];
        } else {
            // Links to the item's site; they need the network to play.
            item.link = "http://media." + std::string(feed.host) + "/clips/" +
                        std::to_string(2000000 + i) + std::string(mediaKinds[kind].extension);
        }
        if (feed.title == "ABC USA") {
            // This feed's player takes the Flash route whatever the file.
            item.link = clipLinks_[3];
            item.mediaType = std::string(mediaKinds[3].mimeType);
        }
        if (kind == 3) {
            // Items of the player movie play from this machine: the clip itself, or
            // the same clip over http from the demo web site (scripts/demo-web).
            if (item.link != clipLinks_[3])
                item.link = "http://" + std::string(demoWebHost) + "/media/demo-clip.flv";
            // Every other one is announced as a Flash movie rather than a video file.
            if (i % 8 == 7)
                item.mediaType = "application/flash";
        }
        const bool audioOnly = item.mediaType.rfind("audio/", 0) == 0;
        item.duration = static_cast<unsigned>(30 + random_.below(600));
        item.length = item.duration * (audioOnly ? 8000ull : 60000ull);
        item.width = audioOnly ? 0 : 320;
        item.height = audioOnly ? 0 : 240;
        item.thumbnail = static_cast<int>(random_.below(thumbnailCount));
        return item;
    }

  private:
    Random random_;
    long count_;
    std::vector<std::string> clipLinks_;
};

// ---- writing ----

class Seeder {
  public:
    explicit Seeder(db::Connection& connection) : db_(connection) {}

    std::string quoted(std::string_view text) { return "'" + db_.escape(text) + "'"; }

    void run(std::string_view sql) { db_.execute(sql); }

    // Collects rows of one multi-row INSERT and sends it when it grows large.
    class Batch {
      public:
        Batch(Seeder& seeder, std::string head) : seeder_(seeder), head_(std::move(head)) {}
        ~Batch() = default;
        void add(const std::string& row) {
            if (!sql_.empty() && sql_.size() + row.size() > batchBytes)
                flush();
            sql_ += sql_.empty() ? head_ : std::string(",");
            sql_ += row;
        }
        void flush() {
            if (sql_.empty())
                return;
            seeder_.run(sql_);
            sql_.clear();
        }

      private:
        Seeder& seeder_;
        std::string head_;
        std::string sql_;
    };

  private:
    db::Connection& db_;
};

void seedItems(Seeder& seeder, const Options& options) {
    std::vector<std::string> thumbnails;
    for (int i = 0; i < thumbnailCount; ++i) {
        const std::vector<std::uint8_t> jpeg = makeThumbnail(i);
        thumbnails.push_back(seeder.quoted(
            std::string_view(reinterpret_cast<const char*>(jpeg.data()), jpeg.size())));
    }

    seeder.run("TRUNCATE TABLE halden.videosnap");
    seeder.run("TRUNCATE TABLE halden.videopodcasthistory");
    // Indexes are built once at the end rather than row by row.
    seeder.run("ALTER TABLE halden.videosnap DISABLE KEYS");
    seeder.run("ALTER TABLE halden.videopodcasthistory DISABLE KEYS");

    Seeder::Batch snaps(seeder,
                        "INSERT INTO halden.videosnap (rsstitle, rsshostname, rsseditor, rsscat, "
                        "rssfeedurl, rssurl, rsslanguage, rsspubdate, rssitemtitle, rssdesc, "
                        "rssauthor, rssguid, rsskeywords, rssrating, mediaduration, medialength, "
                        "medialink, mediatype, mediawidth, mediaheight, datetimevalue, "
                        "pictureblob) VALUES ");
    Seeder::Batch history(
        seeder, "INSERT INTO halden.videopodcasthistory (rsstitle, rssitemtitle, rssdesc, "
                "rssurl, rsshostname, rsscat, medialink, mediatype, datetimevalue) "
                "VALUES ");
    const long count = std::max(options.items, options.textItems);
    ItemMaker maker(options.seed, count, fs::absolute(options.mediaDir).lexically_normal());
    for (long i = 0; i < count; ++i) {
        const Item item = maker.make(i);
        const std::string common = seeder.quoted(item.feedTitle);
        if (i < options.textItems)
            history.add("(" + common + "," + seeder.quoted(item.title) + "," +
                        seeder.quoted(item.description) + "," + seeder.quoted(item.siteUrl) + "," +
                        seeder.quoted(item.host) + "," + seeder.quoted(item.category) + "," +
                        seeder.quoted(item.link) + "," + seeder.quoted(item.mediaType) + "," +
                        seeder.quoted(item.dateTime) + ")");
        if (i >= options.items)
            continue;
        std::string row = "(" + common + "," + seeder.quoted(item.host) + "," +
                          seeder.quoted(item.editor) + "," + seeder.quoted(item.category) + "," +
                          seeder.quoted(item.feedUrl) + "," + seeder.quoted(item.siteUrl) +
                          ",'en'," + seeder.quoted(item.pubDate) + "," + seeder.quoted(item.title) +
                          "," + seeder.quoted(item.description) + "," + seeder.quoted(item.author) +
                          "," + seeder.quoted(item.guid) + "," + seeder.quoted(item.keywords) +
                          "," + seeder.quoted(item.rating) + "," + std::to_string(item.duration) +
                          "," + std::to_string(item.length) + "," + seeder.quoted(item.link) + "," +
                          seeder.quoted(item.mediaType) + "," + std::to_string(item.width) + "," +
                          std::to_string(item.height) + "," + seeder.quoted(item.dateTime) + "," +
                          thumbnails[static_cast<std::size_t>(item.thumbnail)] + ")";
        snaps.add(row);
    }
    snaps.flush();
    history.flush();
    seeder.run("ALTER TABLE halden.videosnap ENABLE KEYS");
    seeder.run("ALTER TABLE halden.videopodcasthistory ENABLE KEYS");
}

std::string byCategory(std::string_view category) {
    return "SELECT * FROM videosnap WHERE rsscat = '" + std::string(category) +
           "' ORDER BY datetimevalue DESC";
}

std::string byWord(std::string_view category, std::string_view word) {
    return "SELECT * FROM videosnap WHERE rsscat = '" + std::string(category) +
           "' AND MATCH (rssdesc,rssitemtitle,rssurl) AGAINST ('+" + std::string(word) +
           "' IN BOOLEAN MODE) ORDER BY datetimevalue DESC";
}

void seedTopics(Seeder& seeder) {
    seeder.run("TRUNCATE TABLE qzrbackup.videoqueryfeature");
    seeder.run("TRUNCATE TABLE qzrbackup.videospecialfeature");
    seeder.run("TRUNCATE TABLE qzrbackup.sidetab");

    // Newest Videos: twelve topics, one per button; some captions are longer than
    // a button shows.
    const std::vector<std::pair<std::string, std::string>> feature = {
        {"Latest News from Around the Nation", byCategory("News")},
        {"World", byCategory("World")},
        {"Sport", byCategory("Sport")},
        {"Music", byCategory("Music")},
        {"Comedy", byCategory("Comedy")},
        {"Science and Discovery", byCategory("Science")},
        {"Technology", byCategory("Technology")},
        {"Travel", byCategory("Travel")},
        {"Entertainment", byCategory("Entertainment")},
        {"Animals", byCategory("Animals")},
        {"Business", byCategory("Business")},
        {"Everything New Today", "SELECT * FROM videosnap ORDER BY datetimevalue DESC"},
    };
    // Special Interest: ten topics, narrower than a category.
    const std::vector<std::pair<std::string, std::string>> special = {
        {"Surfing", byWord("Sport", "surfing")},
        {"Cricket", byWord("Sport", "cricket")},
        {"Space", byWord("Science", "space")},
        {"Music Festivals", byWord("Music", "festival")},
        {"Wildlife", byWord("Animals", "wildlife")},
        {"Robots", byWord("Technology", "robots")},
        {"Island Escapes", byWord("Travel", "islands")},
        {"Election Watch", byWord("News", "election")},
        {"Movie Trailers", byWord("Entertainment", "trailers")},
        {"Stand-up Comedy", byWord("Comedy", "standup")},
    };
    for (const auto& [caption, sql] : feature)
        seeder.run("INSERT INTO qzrbackup.videoqueryfeature (videoquerycaption, videoquerysql) "
                   "VALUES (" +
                   seeder.quoted(caption) + "," + seeder.quoted(sql) + ")");
    for (const auto& [caption, sql] : special)
        seeder.run("INSERT INTO qzrbackup.videospecialfeature (videoquerycaption, videoquerysql) "
                   "VALUES (" +
                   seeder.quoted(caption) + "," + seeder.quoted(sql) + ")");

    // Side tabs: World, Aus News and the Bookmarks tab's row (which the program
    // fills from the local store instead). The program appends " offset,16".
    const std::vector<std::pair<std::string, std::string>> sideTabs = {
        {"World", byCategory("World") + " LIMIT"},
        {"Aus News", byCategory("Aus News") + " LIMIT"},
        {"Bookmarks", "SELECT * FROM videosnap ORDER BY datetimevalue DESC LIMIT"},
    };
    for (const auto& [caption, sql] : sideTabs)
        seeder.run("INSERT INTO qzrbackup.sidetab (sidecaption, sidequery) VALUES (" +
                   seeder.quoted(caption) + "," + seeder.quoted(sql) + ")");
}

void seedCategories(Seeder& seeder) {
    seeder.run("TRUNCATE TABLE qzrbackup.categories");
    seeder.run("TRUNCATE TABLE qzrbackup.subcategories");
    int subcategoryId = 0;
    int categoryId = 0;
    for (const Category& category : categories) {
        ++categoryId;
        seeder.run("INSERT INTO qzrbackup.categories (catid, catname, catSQL) VALUES (" +
                   std::to_string(categoryId) + "," + seeder.quoted(category.name) + "," +
                   seeder.quoted(byCategory(category.name) + " LIMIT") + ")");
        for (std::string_view word : category.subtopics) {
            ++subcategoryId;
            seeder.run("INSERT INTO qzrbackup.subcategories (subcatid, catid, subcatname, subsql) "
                       "VALUES (" +
                       std::to_string(subcategoryId) + "," + std::to_string(categoryId) + "," +
                       seeder.quoted(capitalised(word)) + "," +
                       seeder.quoted(byWord(category.name, word) + " LIMIT") + ")");
        }
    }
    // A category without subcategories, after a gap in the ids.
    seeder.run("INSERT INTO qzrbackup.categories (catid, catname, catSQL) VALUES (" +
               std::to_string(categoryId + 2) + ",'Most Watched'," +
               seeder.quoted("SELECT * FROM videosnap WHERE rsshostname != '" +
                             std::string(excludedHost) + "' ORDER BY mediaduration DESC LIMIT") +
               ")");
}

void seedGlobals(Seeder& seeder) {
    seeder.run("TRUNCATE TABLE halden.zorvex_global");
    const std::string player = "\"" + std::string(excludedPlayerUrl) + "\"";
    const std::string host = "\"" + std::string(excludedHost) + "\"";
    const std::string exclusions =
        " AND (rssurl != " + player + ") AND (rsshostname != " + host + "))";
    const std::vector<std::pair<int, std::pair<std::string, std::string>>> rows = {
        {2, {"titledis", "Zorvex Video Browser"}},
        {3, {"descdis1", "Point at a thumbnail to see what it is about."}},
        {4, {"descdis2", "Click it to play; right-click for more."}},
        {5, {"descdis3", "Search with cat: and site: to narrow it down."}},
        {6, {"descdis4", "Zorvex demo catalogue"}},
        {7, {"titlestatus", "Playing"}},
        {8, {"nowtitledis", "Now Playing"}},
        {9, {"nowdescdis1", "Choose a video on the left to play it here."}},
        {10, {"nowdescdis2", ""}},
        {11, {"visitsite", "Visit Site"}},
        // Image search, most recent first: part 1 'terms' part 2 [category] part 3.
        {12,
         {"imageSearchSqlPart1",
          "SELECT HIGH_PRIORITY * FROM videosnap WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) "
          "AGAINST ("}},
        {13, {"imageSearchSqlPart2", " IN BOOLEAN MODE))"}},
        {14, {"imageSearchSqlPart3", exclusions + " ORDER BY recnum DESC LIMIT"}},
        // Image search by relevance: part 4 'terms' )) [score] part 5 part 6 'terms'
        // part 7 [category] part 8.
        {15,
         {"imageSearchSqlPart4",
          "SELECT HIGH_PRIORITY *, ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST ("}},
        {16, {"imageSearchSqlPart5", exclusions + " AS score FROM videosnap"}},
        {17, {"imageSearchSqlPart6", " WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST ("}},
        {18, {"imageSearchSqlPart7", " IN BOOLEAN MODE))"}},
        {19, {"imageSearchSqlPart8", exclusions + " ORDER BY score DESC LIMIT"}},
        // Latest text search: part 1 part 2 'terms' part 3 [category] part 4.
        {20,
         {"textSearchSqlPart1",
          "SELECT HIGH_PRIORITY rssitemtitle,rssdesc,medialink,rsshostname,rsscat,mediatype,"
          "recnum,rsstitle"}},
        {21,
         {"textSearchSqlPart2",
          " FROM videopodcasthistory WHERE ((MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) "
          "AGAINST ("}},
        {22, {"textSearchSqlPart3", " IN BOOLEAN MODE))"}},
        {23, {"textSearchSqlPart4", exclusions + " ORDER BY recnum DESC LIMIT"}},
    };
    for (const auto& [id, entry] : rows)
        seeder.run("INSERT INTO halden.zorvex_global (id, item, value) VALUES (" +
                   std::to_string(id) + "," + seeder.quoted(entry.first) + "," +
                   seeder.quoted(entry.second) + ")");

    seeder.run("TRUNCATE TABLE halden.videokey");
    seeder.run("INSERT INTO halden.videokey (host, `time`) VALUES "
               "('video.ifilm.com', 'demo-site-key-7f3a9c'), "
               "('media.example.com', 'unused-key')");
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    const auto started = std::chrono::steady_clock::now();
    try {
        db::ClientSession library("zorvex-seed");
        db::ConnectionSettings settings;
        settings.host = options.host;
        settings.port = options.port;
        settings.socket = options.socket;
        settings.user = options.user;
        settings.password = options.password;
        settings.database = "halden";
        settings.compress = false; // a local server: compression only costs time
        settings.readTimeout = std::chrono::seconds(600);
        settings.writeTimeout = std::chrono::seconds(600);
        db::Connection connection(settings);
        connection.connect();

        Seeder seeder(connection);
        seedItems(seeder, options);
        seedTopics(seeder);
        seedCategories(seeder);
        seedGlobals(seeder);
        connection.disconnect();
    } catch (const std::exception& error) {
        std::cerr << "zorvex-demo-seed: " << error.what() << "\n";
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("seeded %ld items (%ld in the text library) in %.1f s\n", options.items,
                options.textItems, seconds);
    return 0;
}
