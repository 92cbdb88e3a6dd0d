// Statement texts reach the marker parser from the data module's SQL lines
// and from search texts the operator types; any byte string must parse.
// Checked beyond "no crash": the text never grows, and for a text without
// '?' or '`' every marker becomes exactly one numbered placeholder on
// PostgreSQL, so that values always meet the placeholders they were meant for.
#include "data/connection/PgProvider.h"
#include "data/dataset/MarkerParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

size_t countNumbered(const std::string& pgText) {
    size_t n = 0;
    char quote = 0;
    for (size_t i = 0; i < pgText.size(); ++i) {
        const char c = pgText[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '$' && i + 1 < pgText.size() && pgText[i + 1] >= '1' &&
                   pgText[i + 1] <= '9') {
            ++n;
        }
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string sql(reinterpret_cast<const char*>(data), size);
    const zemt::data::ParsedStatement parsed = zemt::data::parseMarkers(sql);
    if (parsed.text.size() > sql.size())
        std::abort();
    if (sql.find_first_of("?`$") == std::string::npos &&
        countNumbered(zemt::data::numberedPlaceholders(parsed.text)) != parsed.names.size())
        std::abort();
    return 0;
}
