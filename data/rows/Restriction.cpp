#include "data/rows/Restriction.h"

#include "data/rows/DisplayText.h"
#include "data/values/Names.h"

namespace zemt::data {

std::string buildRestriction(const std::vector<RestrictionTerm>& terms) {
    std::string out;
    for (const auto& term : terms) {
        if (!out.empty())
            out += " AND ";
        const std::string name =
            term.column.find(' ') != std::string::npos ? "[" + term.column + "]" : term.column;
        std::string value;
        if (term.value.isNull()) {
            value = "Null";
        } else {
            const std::string text = term.value.type() == VarType::Text
                                         ? term.value.textValue()
                                         : formatDisplayText(term.valueKind, term.value);
            std::string quote;
            switch (term.columnKind) {
            case TFieldType::ftString:
                quote = text.find('\'') != std::string::npos ? "#" : "'";
                break;
            case TFieldType::ftDate:
            case TFieldType::ftTime:
            case TFieldType::ftDateTime:
                quote = "#";
                break;
            default:
                break;
            }
            value = quote + text + quote;
        }
        out += "(" + name + "=" + value + ")";
    }
    return out;
}

std::optional<std::vector<ParsedTerm>> parseRestriction(const std::string& text) {
    std::vector<ParsedTerm> terms;
    size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
    };
    while (true) {
        skipBlanks();
        if (pos >= text.size() || text[pos] != '(')
            return std::nullopt;
        ++pos;
        ParsedTerm term;
        if (pos < text.size() && text[pos] == '[') {
            const auto close = text.find(']', pos);
            if (close == std::string::npos)
                return std::nullopt;
            term.column = text.substr(pos + 1, close - pos - 1);
            pos = close + 1;
        } else {
            const auto eq = text.find('=', pos);
            if (eq == std::string::npos)
                return std::nullopt;
            term.column = text.substr(pos, eq - pos);
            pos = eq;
        }
        if (pos >= text.size() || text[pos] != '=')
            return std::nullopt;
        ++pos;
        if (pos < text.size() && (text[pos] == '\'' || text[pos] == '#')) {
            const char quote = text[pos];
            const auto close = text.find(std::string(1, quote) + ")", pos + 1);
            if (close == std::string::npos)
                return std::nullopt;
            term.value = text.substr(pos + 1, close - pos - 1);
            pos = close + 1;
        } else {
            const auto close = text.find(')', pos);
            if (close == std::string::npos)
                return std::nullopt;
            std::string bare = text.substr(pos, close - pos);
            if (!sameName(bare, "null"))
                term.value = bare;
            pos = close;
        }
        if (pos >= text.size() || text[pos] != ')')
            return std::nullopt;
        ++pos;
        terms.push_back(std::move(term));
        skipBlanks();
        if (pos == text.size())
            return terms;
        if (text.compare(pos, 3, "AND") != 0 && text.compare(pos, 3, "and") != 0)
            return std::nullopt;
        pos += 3;
    }
}

} // namespace zemt::data
