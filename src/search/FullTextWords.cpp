#include "search/FullTextWords.h"

namespace search {

namespace {

bool isOperator(char c) {
    switch (c) {
    case '+':
    case '-':
    case '<':
    case '>':
    case '(':
    case ')':
    case '~':
    case '*':
    case '"':
    case '@':
        return true;
    default:
        return false;
    }
}

// Blanks and ASCII control characters; the bytes of multi-byte UTF-8 characters
// are all above 0x7F and stay inside their word.
bool separates(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F || isOperator(c);
}

} // namespace

std::vector<std::string> fullTextWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (!separates(c)) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

std::string requiredWords(const std::vector<std::string>& words) {
    std::string terms;
    for (const auto& w : words) {
        if (!terms.empty())
            terms += ' ';
        terms += '+';
        terms += w;
    }
    return terms;
}

std::string requiredPhrase(std::string_view text) {
    std::string phrase;
    for (const auto& w : fullTextWords(text)) {
        if (!phrase.empty())
            phrase += ' ';
        phrase += w;
    }
    return phrase.empty() ? std::string() : "+\"" + phrase + "\"";
}

} // namespace search
