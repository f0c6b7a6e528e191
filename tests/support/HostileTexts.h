#pragma once
// Texts a user (or a hostile page or catalogue row) might put where the program
// builds SQL from them: quotes of both kinds, backslashes, comment markers, UNION
// and stacked statements, LIKE wildcards, NUL bytes, invalid UTF-8, multi-byte
// sequences that end in a quote or backslash byte in other character sets, the
// search box's own prefixes and operators, and very long texts.
//
// Any thread.

#include <string>
#include <vector>

namespace testsupport {

/// Every hostile text, each different; a 10,000-character text among them.
const std::vector<std::string>& hostileTexts();

} // namespace testsupport
