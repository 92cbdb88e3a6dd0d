#include "data/dataset/MarkerParser.h"

namespace zemt::data {

namespace {
bool endsName(char c) {
    return c == ' ' || c == ',' || c == ';' || c == ')' || c == '\r' || c == '\n';
}
} // namespace

ParsedStatement parseMarkers(const std::string& sql) {
    ParsedStatement out;
    out.text.reserve(sql.size());
    char quote = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            out.text += c;
        } else if (c == '\'' || c == '"' || c == '`') {
            quote = c;
            out.text += c;
        } else if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
            out.text += ':';
            ++i;
        } else if (c == ':') {
            size_t end = i + 1;
            while (end < sql.size() && !endsName(sql[end]))
                ++end;
            out.names.push_back(sql.substr(i + 1, end - i - 1));
            out.text += '?';
            i = end - 1;
        } else {
            out.text += c;
        }
    }
    return out;
}

} // namespace zemt::data
