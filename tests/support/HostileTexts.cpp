#include "support/HostileTexts.h"

namespace testsupport {

namespace {

std::string bytes(const char* text, std::size_t size) {
    return std::string(text, size);
}

std::vector<std::string> makeTexts() {
    std::vector<std::string> t = {
        // Quotes of both kinds, alone, doubled and closing a literal early.
        "'",
        "\"",
        "''",
        "\"\"",
        "it's",
        "say \"hi\"",
        "' OR '1'='1",
        "\" OR \"1\"=\"1",
        "') OR 1=1 -- ",
        "\")) OR 1=1 #",
        "'))) OR (((1=1",
        "x' AND SLEEP(3) AND 'x'='x",
        // Backslashes, also before a quote so an escape would be undone.
        "\\",
        "\\\\",
        "a\\",
        "\\'",
        "\\\"",
        "\\\\'",
        "\\' OR 1=1 -- ",
        "\\\" OR 1=1 -- ",
        "\\x27",
        // Comment markers.
        "-- ",
        "#",
        "/*",
        "*/",
        "a /* b */ c",
        "/*!50000 UNION*/ SELECT",
        "'--",
        "\"#",
        // UNION and stacked statements.
        "x' UNION SELECT user,password FROM mysql.user -- ",
        "x\" UNION ALL SELECT 1,2,3,4,5,6,7,8 #",
        "')) UNION SELECT * FROM halden.videosnap -- ",
        "; DROP TABLE videosnap",
        "'; DROP TABLE videosnap; -- ",
        "\"; SHUTDOWN; --",
        // LIKE wildcards and their escapes.
        "%",
        "_",
        "%_%",
        "100%",
        "a_b",
        "\\%",
        "\\_",
        // NUL bytes.
        bytes("\0", 1),
        bytes("a\0b", 3),
        bytes("'\0'", 3),
        bytes("\0' OR 1=1 -- ", 13),
        bytes("\\\0\"", 3),
        // Invalid UTF-8.
        "\xff",
        "\xc0\x27",
        "\xc0\x22",
        "\x80\x80'",
        "\xed\xa0\x80\"",
        "\xf8\x88\x80\x80\x80'",
        "\xe6\x5c\x27 OR 1=1 -- ",
        // Multi-byte sequences of other character sets whose last byte is a quote or
        // a backslash (GBK, Big5, Shift JIS).
        "\xbf\x27 OR 1=1 -- ",
        "\xbf\x5c\x27 OR 1=1 -- ",
        "\x81\x5c\x22 OR 1=1 #",
        "\xa1\x27",
        "\x95\x5c",
        "\xe5\x5c\"",
        // Line breaks and control characters.
        "\n",
        "a\r\nb'",
        "\x1a'",
        "\t\"\t",
        "\x7f\x08'",
        // The search box's prefixes and the full-text operators.
        "cat:'",
        "site:\"",
        "cat:\" OR 1=1 -- ",
        "site:' UNION SELECT 1 -- ",
        "site:\\ cat:\\'",
        "site:o'neil cat:a\"b",
        "cat:news site:\"x\" +a -b",
        "+a -b ~c <d >e (f) g* @3",
        "\"phrase",
        // Quoted identifiers and look-alike quotes.
        "`",
        "`videosnap`",
        "\xe2\x80\x99 \xef\xbc\x87 \xca\xbc",
        "\xc3\x9c"
        "bung \xe6\x9d\xb1\xe4\xba\xac \xf0\x9f\x98\x80",
    };
    // Very long texts: one word, quotes throughout, and an attack at the very end.
    t.push_back(std::string(10000, 'a'));
    std::string quotes;
    while (quotes.size() < 10000)
        quotes += "a'b\"c\\";
    t.push_back(quotes);
    t.push_back(std::string(9980, 'x') + "' OR 1=1 -- ");
    std::string words;
    while (words.size() < 10000)
        words += "surf' ";
    t.push_back(words);
    return t;
}

} // namespace

const std::vector<std::string>& hostileTexts() {
    static const std::vector<std::string> texts = makeTexts();
    return texts;
}

} // namespace testsupport
