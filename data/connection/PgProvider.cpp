#include "data/connection/PgProvider.h"

#include "data/values/DateTimeText.h"
#include "data/values/ErrorText.h"

#include <charconv>
#include <libpq-fe.h>
#include <memory>

namespace zemt::data {

namespace {

// Type OIDs of the built-in types (pg_type.h).
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kMoney = 790,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kTimeTz = 1266,
    kNumeric = 1700,
    kVarchar = 1043,
    kBpchar = 1042
};

TFieldType kindOfOid(Oid type) {
    switch (type) {
    case kBool:
        return TFieldType::ftBoolean;
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return TFieldType::ftInteger;
    case kFloat4:
    case kFloat8:
        return TFieldType::ftFloat;
    case kNumeric:
        return TFieldType::ftBCD;
    case kDate:
        return TFieldType::ftDate;
    case kTime:
    case kTimeTz:
        return TFieldType::ftTime;
    case kTimestamp:
    case kTimestampTz:
        return TFieldType::ftDateTime;
    case kBytea:
        return TFieldType::ftBlob;
    default:
        return TFieldType::ftString;
    }
}

struct Result {
    PGresult* res = nullptr;
    ~Result() { PQclear(res); }
};

void ignoreNotice(void*, const char*) {}

std::string firstLine(const char* text) {
    std::string s = text ? text : "";
    const auto nl = s.find('\n');
    return nl == std::string::npos ? s : s.substr(0, nl);
}

} // namespace

std::string numberedPlaceholders(const std::string& sql) {
    std::string out;
    out.reserve(sql.size() + 8);
    std::size_t from = 0;
    int n = 0;
    for (const std::size_t at : placeholderPositions(sql)) {
        out.append(sql, from, at - from);
        out += '$' + std::to_string(++n);
        from = at + 1;
    }
    out.append(sql, from);
    return out;
}

PgProvider::PgProvider(const ConnectionString& settings)
    : host_(settings.value("Data Source")), port_(settings.value("Port")),
      database_(settings.value("Initial Catalog")), user_(settings.value("User ID")),
      password_(settings.value("Password")) {}

PgProvider::~PgProvider() {
    disconnect();
}

void PgProvider::connect() {
    if (conn_)
        return;
    std::vector<const char*> keys, values;
    auto add = [&](const char* key, const std::string& value) {
        if (!value.empty()) {
            keys.push_back(key);
            values.push_back(value.c_str());
        }
    };
    add("host", host_);
    add("port", port_);
    add("dbname", database_);
    add("user", user_);
    add("password", password_);
    const std::string timeout = "10", encoding = "UTF8", app = "ZEMT",
                      options = "-c standard_conforming_strings=on -c DateStyle=ISO";
    add("connect_timeout", timeout);
    add("client_encoding", encoding);
    add("application_name", app);
    add("options", options);
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn)
        throwProviderError("out of memory");
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string message = firstLine(PQerrorMessage(conn));
        PQfinish(conn);
        throwProviderError(message);
    }
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    conn_ = conn;
    tables_.clear();
    keys_.clear();
}

void PgProvider::disconnect() {
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

void PgProvider::fail(PGresult* result) {
    std::string message;
    if (result) {
        const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
        if (primary)
            message = primary;
    }
    if (message.empty())
        message = firstLine(PQerrorMessage(conn_));
    PQclear(result);
    // A connection the server dropped is forgotten, so that the next
    // operation connects again instead of failing for ever.
    if (PQstatus(conn_) != CONNECTION_OK)
        disconnect();
    throwProviderError(message);
}

PGresult* PgProvider::run(const std::string& sql, const std::vector<Variant>& params) {
    connect();
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size());
    std::vector<Oid> types(params.size(), 0);
    for (size_t i = 0; i < params.size(); ++i) {
        const Variant& v = params[i];
        if (v.isNull()) {
            values[i] = nullptr;
            continue;
        }
        if (v.type() == VarType::Integer)
            types[i] = (v.intValue() >= INT32_MIN && v.intValue() <= INT32_MAX) ? kInt4 : kInt8;
        if (v.type() == VarType::Boolean)
            texts[i] = v.intValue() ? "t" : "f";
        else
            texts[i] = RowStore::convert(v, TFieldType::ftString).textValue();
        values[i] = texts[i].c_str();
    }
    PGresult* res =
        PQexecParams(conn_, numberedPlaceholders(sql).c_str(), static_cast<int>(params.size()),
                     types.data(), values.data(), nullptr, nullptr, 0);
    const auto status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(res);
    return res;
}

long long PgProvider::execute(const std::string& sql, const std::vector<Variant>& params) {
    Result r;
    r.res = run(sql, params);
    const char* count = PQcmdTuples(r.res);
    return (count && *count) ? std::atoll(count) : 0;
}

void PgProvider::loadTables(PGresult* result) {
    std::string wanted;
    for (int c = 0; c < PQnfields(result); ++c) {
        const Oid table = PQftable(result, c);
        if (table != InvalidOid && !tables_.count(table)) {
            wanted += wanted.empty() ? "{" : ",";
            wanted += std::to_string(table);
            tables_[table]; // placeholder, filled below
        }
    }
    if (wanted.empty())
        return;
    wanted += "}";
    Result r;
    r.res = run("select c.oid::int8, c.relname, c.relkind, a.attnum, a.attname "
                "from pg_class c join pg_attribute a on a.attrelid = c.oid "
                "where c.oid = any(?::oid[]) and a.attnum > 0 and not a.attisdropped",
                {Variant(wanted)});
    for (int i = 0; i < PQntuples(r.res); ++i) {
        TableInfo& info = tables_[static_cast<unsigned>(std::atoll(PQgetvalue(r.res, i, 0)))];
        const char kind = PQgetvalue(r.res, i, 2)[0];
        // Only ordinary tables are base tables: a view's rows cannot be written back.
        if (kind == 'r' || kind == 'p')
            info.name = PQgetvalue(r.res, i, 1);
        info.columns[std::atoi(PQgetvalue(r.res, i, 3))] = PQgetvalue(r.res, i, 4);
    }
}

bool PgProvider::query(const std::string& sql, const std::vector<Variant>& params,
                       QueryResult& out) {
    Result r;
    r.res = run(sql, params);
    if (PQresultStatus(r.res) != PGRES_TUPLES_OK)
        return false;
    readResult(r.res, out);
    return true;
}

void PgProvider::readResult(PGresult* result, QueryResult& out) {
    const struct { PGresult* res; } r{result};
    loadTables(r.res);
    const int n = PQnfields(r.res);
    out.columns.clear();
    std::vector<TFieldType> kinds;
    for (int c = 0; c < n; ++c) {
        ColumnInfo info;
        info.name = PQfname(r.res, c);
        const Oid type = PQftype(r.res, c);
        info.type = kindOfOid(type);
        const int mod = PQfmod(r.res, c);
        if ((type == kVarchar || type == kBpchar) && mod > 4)
            info.size = mod - 4;
        const Oid table = PQftable(r.res, c);
        if (table != InvalidOid) {
            const TableInfo& t = tables_[table];
            auto col = t.columns.find(PQftablecol(r.res, c));
            if (!t.name.empty() && col != t.columns.end()) {
                info.baseTable = t.name;
                info.baseColumn = col->second;
            }
        }
        out.columns.push_back(info);
        kinds.push_back(info.type);
    }
    RowStore& rows = out.rows;
    rows.reset(kinds);
    const int count = PQntuples(r.res);
    rows.reserve(static_cast<std::uint32_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::uint32_t row = rows.appendRow();
        for (int c = 0; c < n; ++c) {
            if (PQgetisnull(r.res, i, c))
                continue;
            const char* text = PQgetvalue(r.res, i, c);
            const size_t length = static_cast<size_t>(PQgetlength(r.res, i, c));
            const std::string_view view(text, length);
            bool stored = true;
            switch (rows.kind(c)) {
            case TFieldType::ftInteger: {
                std::int64_t v = 0;
                stored = std::from_chars(text, text + length, v).ec == std::errc();
                if (stored)
                    rows.setInt(row, c, v);
                break;
            }
            case TFieldType::ftBoolean:
                rows.setInt(row, c, text[0] == 't' ? 1 : 0);
                break;
            case TFieldType::ftFloat:
            case TFieldType::ftBCD: {
                double v = 0;
                stored = std::from_chars(text, text + length, v).ec == std::errc();
                if (stored)
                    rows.setDouble(row, c, v);
                break;
            }
            case TFieldType::ftDate:
            case TFieldType::ftTime:
            case TFieldType::ftDateTime: {
                const auto kind = rows.kind(c);
                const auto v = kind == TFieldType::ftDate   ? parseIsoDate(view)
                               : kind == TFieldType::ftTime ? parseIsoTime(view)
                                                            : parseIsoDateTime(view);
                stored = v.has_value();
                if (stored)
                    rows.setInt(row, c, *v);
                break;
            }
            default:
                rows.setText(row, c, view);
                break;
            }
            if (!stored) {
                // Values such as 'infinity' or 'NaN': keep the column as text.
                rows.convertColumn(c, TFieldType::ftString);
                out.columns[c].type = TFieldType::ftString;
                rows.setText(row, c, view);
            }
        }
    }
    rows.shrink();
}

std::vector<std::string> PgProvider::primaryKey(const std::string& table) {
    auto cached = keys_.find(table);
    if (cached != keys_.end())
        return cached->second;
    Result r;
    r.res = run("select a.attname from pg_index i "
                "join pg_attribute a on a.attrelid = i.indrelid and a.attnum = any(i.indkey) "
                "where i.indrelid = ?::regclass and i.indisprimary "
                "order by array_position(i.indkey::int2[], a.attnum)",
                {Variant(quoteName(table))});
    std::vector<std::string> key;
    for (int i = 0; i < PQntuples(r.res); ++i)
        key.emplace_back(PQgetvalue(r.res, i, 0));
    keys_[table] = key;
    return key;
}

void PgProvider::describe(const std::string& sql) {
    connect();
    Result r;
    r.res = PQprepare(conn_, "", numberedPlaceholders(sql).c_str(), 0, nullptr);
    if (!r.res || PQresultStatus(r.res) != PGRES_COMMAND_OK) {
        if (PQstatus(conn_) != CONNECTION_OK)
            disconnect();
    }
}

} // namespace zemt::data
