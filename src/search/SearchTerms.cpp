#include "search/SearchTerms.h"

#include <vector>

#include "search/FullTextWords.h"
#include "search/SqlText.h"
#include "ui/Utf8.h"

namespace search {

namespace {

constexpr std::size_t kPrefixValueCharacters = 200;

bool blankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

void removeAll(std::string& text, std::string_view what) {
    if (what.empty())
        return;
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(what, from)) != std::string::npos; from = at + what.size())
        out.append(text, from, at - from);
    out.append(text, from, std::string::npos);
    text = std::move(out);
}

void appendRequired(std::string& terms, const std::string& piece) {
    if (piece.empty())
        return;
    if (!terms.empty())
        terms += ' ';
    terms += piece;
}

// The words of `text`, each required, with every occurrence of `site` as a phrase.
std::string requiredTerms(std::string_view text, std::string_view site) {
    std::string terms;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t at = site.empty() ? std::string_view::npos : text.find(site, from);
        const std::string_view before =
            text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from);
        appendRequired(terms, requiredWords(fullTextWords(before)));
        if (at == std::string_view::npos)
            break;
        appendRequired(terms, requiredPhrase(site));
        from = at + site.size();
    }
    return terms;
}

} // namespace

std::string ExtractPrefixValue(std::string_view text, std::string_view prefix) {
    const std::size_t at = text.find(prefix);
    if (prefix.empty() || at == std::string_view::npos)
        return {};
    std::string value = ui::utf8::left(text.substr(at + prefix.size()), kPrefixValueCharacters);
    std::size_t first = 0;
    while (first < value.size() && blankOrControl(value[first]))
        ++first;
    std::size_t last = value.size();
    while (last > first && blankOrControl(value[last - 1]))
        --last;
    value = value.substr(first, last - first);
    const std::size_t blank = value.find(' ');
    return blank == std::string::npos ? value : value.substr(0, blank);
}

BooleanTerms BuildBooleanTerms(std::string_view box) {
    BooleanTerms out;
    out.category = ExtractPrefixValue(box, "cat:");
    const std::string site = ExtractPrefixValue(box, "site:");

    std::string t(box);
    removeAll(t, "cat:");
    removeAll(t, out.category);
    removeAll(t, "site:");
    out.terms = escapeLiteral(requiredTerms(t, site), '\'');

    // A category of operator characters alone names nothing to filter by.
    const std::string category = escapeLiteral(requiredWords(fullTextWords(out.category)), '\'');
    if (!category.empty()) {
        out.categoryFilter = " AND (MATCH(rsscat) AGAINST ('" + category + "' IN BOOLEAN MODE))";
        out.categoryScore = " AND (MATCH(rsscat) AGAINST ('" + category + "'))";
    }
    return out;
}

} // namespace search
