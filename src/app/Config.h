#pragma once
// zorvex.ini: what the program leaves to the installation — where the catalogue
// server is, and the host names of the outside sites it links to. Every key has a
// default that points at the demo catalogue on this machine.
//
// Thread: read once at start-up; a plain value afterwards.

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Settings.h"

namespace app {

/// A malformed file or value. The message names the file, the line and the key.
class ConfigError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Config {
  public:
    /// Every key the file may hold, with its default: section, key, default value.
    struct Key {
        std::string_view section;
        std::string_view name;
        std::string_view fallback;
        /// Text, Port and Seconds values may be double-quoted; an SqlLiteral value
        /// is an SQL string literal, kept with its quotes.
        enum class Type { Text, Port, Seconds, SqlLiteral } type = Type::Text;
        std::string_view help;
    };
    static const std::vector<Key>& keys();

    /// The defaults alone.
    Config();
    /// Reads an INI file over the defaults. Throws ConfigError naming the file, line
    /// and key for an unreadable file or a directory, a line that is neither a
    /// section, a comment nor key = value, an unknown section or key, a key given
    /// twice, or a value of the wrong type.
    ///
    /// A line starting with ';' or '#' is a comment, and so is the rest of a line
    /// after a section header. A value starts at its first non-blank character,
    /// which may be ';' or '#', and ends at a ';' or '#' that follows a blank, or
    /// at the end of the line; blanks around it are cut. A value in double quotes
    /// is taken as written between them, ';' and '#' included, and the quotes are
    /// removed, except for SQL literal keys, whose value is the literal itself.
    /// The file's keys go over `base` (the defaults unless given).
    static Config load(const std::string& path, Config base = Config());
    /// Parses INI text over `base` (the defaults unless given); `origin` names it in
    /// errors. A key may appear once in one text; a later text may change it.
    static Config parse(std::string_view text, std::string_view origin, Config base = Config());

    /// The value of section.key (defaults included). Throws std::out_of_range for a
    /// key that is not in keys().
    const std::string& get(std::string_view section, std::string_view key) const;
    catalogue::Settings catalogue() const;

  private:
    std::map<std::string, std::string, std::less<>> values_; // "section.key" -> value
};

} // namespace app
