#include "harvest/HarvestConfig.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "ui/Convert.h"

namespace harvest {

namespace {

std::string trim(std::string_view text) {
    return std::string(ui::trimmed(text));
}

// The value part of "key = value": a quoted value as written, else up to a ';' or
// '#' that follows a blank.
std::string valueOf(std::string_view raw, const std::string& where) {
    const std::string text = trim(raw);
    if (!text.empty() && text.front() == '"') {
        const std::size_t close = text.find('"', 1);
        if (close == std::string::npos)
            throw ConfigError(where + ": the value's closing quote is missing");
        const std::string rest = trim(std::string_view(text).substr(close + 1));
        if (!rest.empty() && rest.front() != ';' && rest.front() != '#')
            throw ConfigError(where + ": text after the quoted value");
        return text.substr(1, close - 1);
    }
    for (std::size_t i = 1; i < text.size(); ++i)
        if ((text[i] == ';' || text[i] == '#') && (text[i - 1] == ' ' || text[i - 1] == '\t'))
            return trim(std::string_view(text).substr(0, i));
    return text;
}

long number(const std::string& value, long low, long high, const std::string& where) {
    if (value.empty() || value.size() > 9 ||
        value.find_first_not_of("0123456789") != std::string::npos)
        throw ConfigError(where + ": '" + value + "' is not a whole number");
    const long n = std::stol(value);
    if (n < low || n > high)
        throw ConfigError(where + ": " + value + " is not from " + std::to_string(low) + " to " +
                          std::to_string(high));
    return n;
}

bool yesNo(const std::string& value, const std::string& where) {
    if (value == "yes" || value == "true" || value == "1" || value == "on")
        return true;
    if (value == "no" || value == "false" || value == "0" || value == "off")
        return false;
    throw ConfigError(where + ": '" + value + "' is not yes or no");
}

} // namespace

HarvestSettings::HarvestSettings() {
    catalogue.host = "127.0.0.1";
    catalogue.port = 3306;
    catalogue.user = "harvester";
    catalogue.password = "hv7!Feeds&Clips";
    catalogue.database = "halden";
    catalogue.compress = false;
    catalogue.connectTimeout = std::chrono::seconds(10);
    catalogue.readTimeout = std::chrono::seconds(35);
    catalogue.writeTimeout = std::chrono::seconds(35);
}

FeedSource parseFeedSource(std::string_view value) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = value.find('|', start);
        fields.push_back(
            trim(value.substr(start, bar == std::string_view::npos ? value.npos : bar - start)));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    if (fields.size() > 4)
        throw ConfigError("a feed has at most four fields: URL | category | title | library");
    FeedSource feed;
    feed.url = fields[0];
    if (feed.url.empty())
        throw ConfigError("a feed needs its URL");
    if (fields.size() > 1)
        feed.category = fields[1];
    if (fields.size() > 2)
        feed.title = fields[2];
    if (fields.size() > 3 && !fields[3].empty()) {
        if (fields[3] == "image")
            feed.library = Library::Image;
        else if (fields[3] == "text")
            feed.library = Library::Text;
        else if (fields[3] == "both")
            feed.library = Library::Both;
        else
            throw ConfigError("the library of a feed is image, text or both, not '" + fields[3] +
                              "'");
    }
    return feed;
}

HarvestSettings parseHarvestConfig(std::string_view text, std::string_view origin) {
    HarvestSettings settings;
    std::string section;
    std::set<std::string> seen;
    std::istringstream lines{std::string(text)};
    std::string line;
    int number_ = 0;
    while (std::getline(lines, line)) {
        ++number_;
        const std::string stripped = trim(line);
        const std::string at = std::string(origin) + ":" + std::to_string(number_);
        if (stripped.empty() || stripped.front() == ';' || stripped.front() == '#')
            continue;
        if (stripped.front() == '[') {
            const std::size_t close = stripped.find(']');
            if (close == std::string::npos)
                throw ConfigError(at + ": a section header needs its ']'");
            section = trim(std::string_view(stripped).substr(1, close - 1));
            if (section != "catalogue" && section != "harvest")
                throw ConfigError(at + ": unknown section [" + section + "]");
            continue;
        }
        const std::size_t equals = stripped.find('=');
        if (equals == std::string::npos)
            throw ConfigError(at + ": expected key = value");
        const std::string key = trim(std::string_view(stripped).substr(0, equals));
        if (section.empty())
            throw ConfigError(at + ": key '" + key + "' outside a section");
        const std::string where = at + ": " + section + "." + key;
        const std::string value = valueOf(std::string_view(stripped).substr(equals + 1), where);
        if (key != "feed" && !seen.insert(section + "." + key).second)
            throw ConfigError(where + " is given twice");
        db::ConnectionSettings& c = settings.catalogue;
        if (section == "catalogue") {
            if (key == "host")
                c.host = value;
            else if (key == "port")
                c.port = static_cast<unsigned>(number(value, 1, 65535, where));
            else if (key == "user")
                c.user = value;
            else if (key == "password")
                c.password = value;
            else if (key == "database")
                c.database = value;
            else if (key == "connect_timeout")
                c.connectTimeout = std::chrono::seconds(number(value, 1, 3600, where));
            else if (key == "read_timeout")
                c.readTimeout = std::chrono::seconds(number(value, 1, 3600, where));
            else if (key == "write_timeout")
                c.writeTimeout = std::chrono::seconds(number(value, 1, 3600, where));
            else
                throw ConfigError(where + ": unknown key");
        } else {
            if (key == "parallel")
                settings.parallel = static_cast<int>(number(value, 1, 64, where));
            else if (key == "per_host")
                settings.perHost = static_cast<int>(number(value, 1, 16, where));
            else if (key == "time_limit")
                settings.timeLimit = std::chrono::seconds(number(value, 1, 3600, where));
            else if (key == "max_feed_mib")
                settings.maxFeedBytes = static_cast<std::uint64_t>(number(value, 1, 1024, where))
                                        << 20;
            else if (key == "max_picture_mib")
                settings.maxPictureBytes = static_cast<std::uint64_t>(number(value, 1, 64, where))
                                           << 20;
            else if (key == "frames")
                settings.frames = yesNo(value, where);
            else if (key == "feed") {
                try {
                    settings.feeds.push_back(parseFeedSource(value));
                } catch (const ConfigError& error) {
                    throw ConfigError(where + ": " + error.what());
                }
            } else
                throw ConfigError(where + ": unknown key");
        }
    }
    return settings;
}

HarvestSettings loadHarvestConfig(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw ConfigError(path + " is a directory");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ConfigError("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return parseHarvestConfig(text.str(), path);
}

} // namespace harvest
