#include "data/connection/Provider.h"

#include "data/connection/PgProvider.h"
#include "data/connection/SqliteProvider.h"
#include "data/values/ErrorText.h"
#include "data/values/Names.h"

namespace zemt::data {

std::string Provider::quoteName(const std::string& name) const {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

bool Provider::queryTable(const std::string& sql, const std::string&, QueryResult& out,
                          ChangeMark& mark) {
    mark = ChangeMark();
    return query(sql, {}, out);
}

bool Provider::queryAddedRows(const std::string&, const std::string&, ChangeMark& mark,
                              QueryResult&) {
    mark = ChangeMark();
    return false;
}

ConnectionString::ConnectionString(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        const auto eq = part.find('=');
        if (eq != std::string::npos) {
            auto trim = [](std::string s) {
                const auto a = s.find_first_not_of(" \t");
                const auto b = s.find_last_not_of(" \t");
                return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
            };
            pairs_.emplace_back(trim(part.substr(0, eq)), trim(part.substr(eq + 1)));
        }
        start = end + 1;
    }
}

std::string ConnectionString::value(const std::string& key) const {
    for (const auto& [k, v] : pairs_)
        if (sameName(k, key))
            return v;
    return {};
}

bool ConnectionString::has(const std::string& key) const {
    for (const auto& kv : pairs_)
        if (sameName(kv.first, key))
            return true;
    return false;
}

std::unique_ptr<Provider> makeProvider(const std::string& connectionString) {
    ConnectionString cs(connectionString);
    const std::string provider = cs.value("Provider");
    if (sameName(provider, "SQLite"))
        return std::make_unique<SqliteProvider>(cs.value("Data Source"));
    if (sameName(provider, "PostgreSQL"))
        return std::make_unique<PgProvider>(cs);
    throwProviderError("Provider cannot be found. It may not be properly installed");
}

std::vector<std::size_t> placeholderPositions(const std::string& sql) {
    std::vector<std::size_t> positions;
    char quote = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            positions.push_back(i);
        }
    }
    return positions;
}

int countPlaceholders(const std::string& sql) {
    return static_cast<int>(placeholderPositions(sql).size());
}

} // namespace zemt::data
