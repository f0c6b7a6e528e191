#include "app/Config.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace app {

const std::vector<Config::Key>& Config::keys() {
    using T = Key::Type;
    // One key a line reads best.
    // clang-format off
    static const std::vector<Key> k = {
        {"catalogue", "host", "127.0.0.1", T::Text, "catalogue server host name or address"},
        {"catalogue", "port", "3306", T::Port, "catalogue server TCP port"},
        {"catalogue", "user", "mediauser", T::Text, "catalogue account"},
        {"catalogue", "password", "#!%@qwmv*&r*", T::Text, "catalogue password"},
        {"catalogue", "connect_timeout", "10", T::Seconds, "seconds to wait for the catalogue server to answer a connection"},
        {"catalogue", "read_timeout", "35", T::Seconds, "seconds to wait for the catalogue server to answer a statement"},
        {"catalogue", "write_timeout", "35", T::Seconds, "seconds to wait for a statement to reach the catalogue server"},
        {"sites", "product", "127.0.0.1:8090", T::Text, "host of the product site: start, manual and support pages"},
        {"sites", "contact_mail", "support@zorvex.example", T::Text, "the product's contact mail address"},
        {"sites", "connection_help", "127.0.0.1:8090/help/connection.html", T::Text, "page that helps with a failed connection check"},
        {"sites", "maker_search", "127.0.0.1:8090", T::Text, "host of the maker's search site"},
        {"sites", "google", "www.google.com.au", T::Text, "host of the first outside search site"},
        {"sites", "msn", "search.ninemsn.com.au", T::Text, "host of the second outside search site"},
        {"sites", "yahoo", "search.yahoo.com", T::Text, "host of the third outside search site"},
        {"resolver", "ifilm_marker", "ifilm.", T::Text, "text that marks an iFilm link"},
        {"resolver", "comedy_marker", "comedystorage.", T::Text, "text that marks a Comedy Central storage link"},
        {"resolver", "globo_marker", "globo.", T::Text, "text that marks a Globo link"},
        {"resolver", "aol_marker", "aol.", T::Text, "text that marks an AOL link"},
        {"resolver", "comedy_search", "www.comedycentral.example", T::Text, "host of the Comedy Central search endpoint"},
        {"resolver", "globo_auth", "auth.globo.example", T::Text, "host of the Globo authentication endpoint"},
        {"resolver", "test_page", "test.zorvex.example", T::Text, "host of the test page endpoint"},
        {"resolver", "test_title", "Zorvex Test Video", T::Text, "sample title the test page answers for"},
        {"resolver", "test_address", "www.outside.example/test.wmv", T::Text, "outside address of the test page"},
        {"live", "stream", "http://127.0.0.1:8090/live/tv.m3u8?=.wmv", T::Text,
         "address of the live TV stream"},
        {"search", "excluded_player_url", "\"http://www.mtv.com/overdrive/player.jhtml\"", T::SqlLiteral, "SQL string literal of the player page every search excludes"},
        {"search", "excluded_host", "\"youtube.com\"", T::SqlLiteral, "SQL string literal of the host every search but the phrase search excludes"},
        {"help", "example_domain", "youtube.com", T::Text, "video site domain shown in the search box help text"},
    };
    // clang-format on
    return k;
}

namespace {

std::string joinKey(std::string_view section, std::string_view key) {
    return std::string(section) + "." + std::string(key);
}

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

const Config::Key* findKey(std::string_view section, std::string_view name) {
    for (const auto& k : Config::keys())
        if (k.section == section && k.name == name)
            return &k;
    return nullptr;
}

bool knownSection(std::string_view section) {
    for (const auto& k : Config::keys())
        if (k.section == section)
            return true;
    return false;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// What may follow a section header or a quoted value: nothing, or a comment.
bool onlyComment(std::string_view rest) {
    rest = trim(rest);
    return rest.empty() || rest.front() == ';' || rest.front() == '#';
}

// The end of an SQL string literal that starts at text[0] (its quote), just past
// the closing quote, or npos. A backslash escapes the next character and a doubled
// quote stands for itself, as the server reads them.
std::size_t literalEnd(std::string_view text) {
    const char quote = text.front();
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return std::string_view::npos;
}

// The value of `key = value` from the text after the equals sign. `where` starts
// every error message.
std::string readValue(std::string_view text, const Config::Key& key, const std::string& where) {
    const std::string name(key.name);
    const auto first = text.find_first_not_of(" \t");
    text = first == std::string_view::npos ? std::string_view{} : text.substr(first);
    if (key.type == Config::Key::Type::SqlLiteral) {
        const std::size_t end = !text.empty() && (text.front() == '"' || text.front() == '\'')
                                    ? literalEnd(text)
                                    : std::string_view::npos;
        if (end == std::string_view::npos || !onlyComment(text.substr(end)))
            throw ConfigError(where + "key '" + name +
                              "' must be one SQL string literal in double or single quotes, not '" +
                              std::string(trim(text)) + "'");
        return std::string(text.substr(0, end));
    }
    if (!text.empty() && text.front() == '"') {
        const auto close = text.find('"', 1);
        if (close == std::string_view::npos)
            throw ConfigError(where + "the quoted value of key '" + name + "' has no closing \"");
        if (!onlyComment(text.substr(close + 1)))
            throw ConfigError(where + "text after the quoted value of key '" + name + "': '" +
                              std::string(trim(text.substr(close + 1))) + "'");
        return std::string(text.substr(1, close - 1));
    }
    // A value may begin with ';' or '#' (the default password does); further on,
    // one of them after a blank starts a comment.
    for (std::size_t i = 1; i < text.size(); ++i)
        if ((text[i] == ';' || text[i] == '#') && isBlank(text[i - 1])) {
            text = text.substr(0, i);
            break;
        }
    return std::string(trim(text));
}

} // namespace

Config::Config() {
    for (const auto& k : keys())
        values_[joinKey(k.section, k.name)] = std::string(k.fallback);
}

Config Config::load(const std::string& path, Config base) {
    // A directory opens like a file here and reads as empty, which would leave the
    // defaults in place as if the file had been read.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw ConfigError(path + ": is a directory, not a settings file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ConfigError(path + ": cannot be read");
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        throw ConfigError(path + ": cannot be read");
    return parse(text, path, std::move(base));
}

Config Config::parse(std::string_view text, std::string_view origin, Config base) {
    Config config = std::move(base);
    std::string section;
    std::map<std::string, int, std::less<>> seenOn; // "section.key" -> line
    int lineNo = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNo;
        const std::string where = std::string(origin) + ":" + std::to_string(lineNo) + ": ";
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            if (close == std::string_view::npos)
                throw ConfigError(where + "section header '" + std::string(line) +
                                  "' has no closing ]");
            if (!onlyComment(line.substr(close + 1)))
                throw ConfigError(where + "text after section header '" +
                                  std::string(line.substr(0, close + 1)) + "': '" +
                                  std::string(trim(line.substr(close + 1))) + "'");
            section = std::string(trim(line.substr(1, close - 1)));
            if (!knownSection(section))
                throw ConfigError(where + "unknown section [" + section + "]");
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            throw ConfigError(where + "expected key = value, found '" + std::string(line) + "'");
        const std::string key(trim(line.substr(0, eq)));
        if (section.empty())
            throw ConfigError(where + "key '" + key + "' stands before any [section]");
        const Key* k = findKey(section, key);
        if (!k)
            throw ConfigError(where + "unknown key '" + key + "' in [" + section + "]");
        const auto [seen, first] = seenOn.try_emplace(joinKey(section, key), lineNo);
        if (!first)
            throw ConfigError(where + "key '" + key + "' in [" + section +
                              "] is given a second time (first on line " +
                              std::to_string(seen->second) + ")");
        const std::string value = readValue(line.substr(eq + 1), *k, where);
        if (k->type == Key::Type::Port) {
            int port = 0;
            auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
            if (ec != std::errc() || ptr != value.data() + value.size() || port < 1 || port > 65535)
                throw ConfigError(where + "key '" + key +
                                  "' must be a port number from 1 to 65535, not '" + value + "'");
        }
        if (k->type == Key::Type::Seconds) {
            int seconds = 0;
            auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (ec != std::errc() || ptr != value.data() + value.size() || seconds < 1 ||
                seconds > 3600)
                throw ConfigError(where + "key '" + key +
                                  "' must be a number of seconds from 1 to 3600, not '" + value +
                                  "'");
        }
        config.values_[joinKey(section, key)] = value;
        if (end == text.size())
            break;
    }
    return config;
}

const std::string& Config::get(std::string_view section, std::string_view key) const {
    auto it = values_.find(joinKey(section, key));
    if (it == values_.end())
        throw std::out_of_range("no configuration key " + joinKey(section, key));
    return it->second;
}

catalogue::Settings Config::catalogue() const {
    catalogue::Settings s;
    s.host = get("catalogue", "host");
    s.port = std::stoi(get("catalogue", "port"));
    s.user = get("catalogue", "user");
    s.password = get("catalogue", "password");
    s.connectTimeout = std::stoi(get("catalogue", "connect_timeout"));
    s.readTimeout = std::stoi(get("catalogue", "read_timeout"));
    s.writeTimeout = std::stoi(get("catalogue", "write_timeout"));
    return s;
}

} // namespace app
