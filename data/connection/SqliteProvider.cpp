#include "data/connection/SqliteProvider.h"

#include "data/values/DateTimeText.h"
#include "data/values/ErrorText.h"
#include "data/values/Names.h"

#include <cctype>
#include <sqlite3.h>
#include <utility>

namespace zemt::data {

namespace {

// Lower case as names compare, blanks collapsed to one and dropped next to
// brackets, so that "date ( Col )" and "date(col)" read alike.
std::string folded(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = true;
            continue;
        }
        if (blank && !out.empty() && out.back() != '(' && c != '(' && c != ')')
            out += ' ';
        blank = false;
        out += c;
    }
    return lowerName(out);
}

std::string upper(const char* text) {
    std::string out;
    for (; text && *text; ++text)
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
    return out;
}

bool identifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80);
}

// "fn(col)" occurs in the folded definition as a call, not as the tail of a longer name.
bool callsOn(const std::string& definition, const std::string& fn, const std::string& column) {
    const std::string needle = fn + "(" + column + ")";
    for (size_t at = definition.find(needle); at != std::string::npos;
         at = definition.find(needle, at + 1))
        if (at == 0 || !identifierChar(definition[at - 1]))
            return true;
    return false;
}

TFieldType kindOfDeclared(const std::string& declared) {
    if (declared.empty())
        return TFieldType::ftUnknown;
    if (declared.find("INT") != std::string::npos)
        return TFieldType::ftInteger;
    if (declared.find("CHAR") != std::string::npos || declared.find("TEXT") != std::string::npos ||
        declared.find("CLOB") != std::string::npos)
        return TFieldType::ftString;
    if (declared.find("BLOB") != std::string::npos)
        return TFieldType::ftBlob;
    if (declared.find("REAL") != std::string::npos || declared.find("FLOA") != std::string::npos ||
        declared.find("DOUB") != std::string::npos)
        return TFieldType::ftFloat;
    if (declared.find("BOOL") != std::string::npos)
        return TFieldType::ftBoolean;
    if (declared.find("DATETIME") != std::string::npos ||
        declared.find("TIMESTAMP") != std::string::npos)
        return TFieldType::ftDateTime;
    if (declared.find("DATE") != std::string::npos)
        return TFieldType::ftDate;
    if (declared.find("TIME") != std::string::npos)
        return TFieldType::ftTime;
    if (declared.find("NUM") != std::string::npos || declared.find("DEC") != std::string::npos)
        return TFieldType::ftBCD;
    return TFieldType::ftUnknown; // ANY
}

TFieldType kindOfStorage(int storage) {
    switch (storage) {
    case SQLITE_INTEGER:
        return TFieldType::ftInteger;
    case SQLITE_FLOAT:
        return TFieldType::ftFloat;
    case SQLITE_BLOB:
        return TFieldType::ftBlob;
    default:
        return TFieldType::ftString;
    }
}

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

} // namespace

SqliteProvider::SqliteProvider(std::string path) : path_(std::move(path)) {}

SqliteProvider::~SqliteProvider() {
    disconnect();
}

void SqliteProvider::fail() const {
    throwProviderError(sqlite3_errmsg(db_));
}

void SqliteProvider::connect() {
    if (db_)
        return;
    if (path_.empty())
        throwProviderError("unable to open database file");
    sqlite3* db = nullptr;
    // Never create a catalog: a missing file is a connection failure. The
    // connection is used only by the thread that opened it: no locking needed.
    const int rc =
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throwProviderError(message);
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    if (sqlite3_exec(db, "PRAGMA foreign_keys=ON", nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unable to open database file";
        sqlite3_free(error);
        sqlite3_close(db);
        throwProviderError(message);
    }
    db_ = db;
    tableSql_.clear();
}

void SqliteProvider::disconnect() {
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

sqlite3_stmt* SqliteProvider::prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size() + 1), &stmt, nullptr) !=
        SQLITE_OK)
        fail();
    return stmt;
}

void SqliteProvider::bind(sqlite3_stmt* stmt, const std::vector<Variant>& params) {
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 0; i < count && i < static_cast<int>(params.size()); ++i) {
        const Variant& v = params[i];
        int rc = SQLITE_OK;
        switch (v.type()) {
        case VarType::Null:
            rc = sqlite3_bind_null(stmt, i + 1);
            break;
        case VarType::Integer:
        case VarType::Boolean:
            rc = sqlite3_bind_int64(stmt, i + 1, v.intValue());
            break;
        case VarType::Float:
            rc = sqlite3_bind_double(stmt, i + 1, v.floatValue());
            break;
        case VarType::Text:
            rc = sqlite3_bind_text(stmt, i + 1, v.textValue().data(),
                                   static_cast<int>(v.textValue().size()), SQLITE_TRANSIENT);
            break;
        default: {
            const std::string text = RowStore::convert(v, TFieldType::ftString).textValue();
            rc = sqlite3_bind_text(stmt, i + 1, text.data(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT);
        }
        }
        if (rc != SQLITE_OK)
            fail();
    }
}

sqlite3_stmt* SqliteProvider::prepareOne(const std::string& sql) {
    // One statement per text, as the server's protocol for statements with
    // values allows: blanks, comments and semicolons may follow it, nothing
    // else. Refused before anything runs.
    Statement first;
    const char* tail = sql.c_str();
    const char* const end = sql.c_str() + sql.size();
    while (tail < end) {
        Statement next;
        const char* after = nullptr;
        const int rc =
            sqlite3_prepare_v2(db_, tail, static_cast<int>(end - tail) + 1, &next.stmt, &after);
        if (rc != SQLITE_OK && !first.stmt)
            fail();
        if (rc != SQLITE_OK || (next.stmt && first.stmt))
            throwProviderError("the command text holds more than one statement");
        if (next.stmt)
            std::swap(first.stmt, next.stmt);
        tail = after;
    }
    return std::exchange(first.stmt, nullptr);
}

long long SqliteProvider::execute(const std::string& sql, const std::vector<Variant>& params) {
    connect();
    Statement s;
    s.stmt = prepareOne(sql);
    if (!s.stmt)
        return 0;
    bind(s.stmt, params);
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail();
    return sqlite3_changes(db_);
}

TFieldType SqliteProvider::checkedTextKind(const std::string& table, const std::string& column) {
    const std::string key = folded(table);
    auto it = tableSql_.find(key);
    if (it == tableSql_.end()) {
        Statement s;
        s.stmt = prepare("select sql from sqlite_schema where lower(name) = lower(?1)");
        sqlite3_bind_text(s.stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        std::string definition;
        if (sqlite3_step(s.stmt) == SQLITE_ROW && sqlite3_column_text(s.stmt, 0))
            definition = folded(reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 0)));
        it = tableSql_.emplace(key, definition).first;
    }
    const std::string col = folded(column);
    if (callsOn(it->second, "datetime", col))
        return TFieldType::ftDateTime;
    if (callsOn(it->second, "date", col))
        return TFieldType::ftDate;
    if (callsOn(it->second, "time", col))
        return TFieldType::ftTime;
    return TFieldType::ftString;
}

ColumnInfo SqliteProvider::describeColumn(sqlite3_stmt* stmt, int column) {
    ColumnInfo info;
    const char* name = sqlite3_column_name(stmt, column);
    info.name = name ? name : "";
    const char* table = sqlite3_column_table_name(stmt, column);
    const char* origin = sqlite3_column_origin_name(stmt, column);
    if (table && origin) {
        info.baseTable = table;
        info.baseColumn = origin;
    }
    info.type = kindOfDeclared(upper(sqlite3_column_decltype(stmt, column)));
    if (info.type == TFieldType::ftString && !info.baseTable.empty())
        info.type = checkedTextKind(info.baseTable, info.baseColumn);
    return info;
}

bool SqliteProvider::query(const std::string& sql, const std::vector<Variant>& params,
                           QueryResult& out) {
    connect();
    Statement s;
    s.stmt = prepareOne(sql);
    if (!s.stmt)
        return false;
    bind(s.stmt, params);
    const int n = sqlite3_column_count(s.stmt);
    if (n == 0) {
        int rc;
        while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }
    out.columns.clear();
    std::vector<TFieldType> kinds;
    for (int c = 0; c < n; ++c) {
        out.columns.push_back(describeColumn(s.stmt, c));
        kinds.push_back(out.columns.back().type);
    }
    RowStore& rows = out.rows;
    rows.reset(kinds);
    rows.reserve(out.expected);
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        const std::uint32_t row = rows.appendRow();
        for (int c = 0; c < n; ++c) {
            // One column call per cell: the value accessors take no lock.
            sqlite3_value* value = sqlite3_column_value(s.stmt, c);
            const int storage = sqlite3_value_type(value);
            if (storage == SQLITE_NULL)
                continue;
            const auto text = [value] {
                const auto* chars = reinterpret_cast<const char*>(sqlite3_value_text(value));
                return std::string_view(chars, static_cast<size_t>(sqlite3_value_bytes(value)));
            };
            TFieldType kind = rows.kind(c);
            if (kind == TFieldType::ftUnknown) {
                kind = kindOfStorage(storage);
                rows.convertColumn(c, kind);
            }
            switch (kind) {
            case TFieldType::ftInteger:
            case TFieldType::ftBoolean:
                if (storage == SQLITE_INTEGER) {
                    rows.setInt(row, c, sqlite3_value_int64(value));
                    continue;
                }
                break;
            case TFieldType::ftFloat:
            case TFieldType::ftBCD:
                if (storage == SQLITE_FLOAT || storage == SQLITE_INTEGER) {
                    rows.setDouble(row, c, sqlite3_value_double(value));
                    continue;
                }
                break;
            case TFieldType::ftString:
                rows.setText(row, c, text());
                continue;
            case TFieldType::ftBlob:
                rows.setText(row, c,
                             std::string_view(static_cast<const char*>(sqlite3_value_blob(value)),
                                              static_cast<size_t>(sqlite3_value_bytes(value))));
                continue;
            default:
                if (storage == SQLITE_TEXT) {
                    const std::string_view iso = text();
                    const auto parsed = kind == TFieldType::ftDate   ? parseIsoDate(iso)
                                        : kind == TFieldType::ftTime ? parseIsoTime(iso)
                                                                     : parseIsoDateTime(iso);
                    if (parsed) {
                        rows.setInt(row, c, *parsed);
                        continue;
                    }
                }
                break;
            }
            // A value the column's kind cannot hold: widen the column.
            const TFieldType wider = (storage == SQLITE_FLOAT && kind == TFieldType::ftInteger)
                                         ? TFieldType::ftFloat
                                         : TFieldType::ftString;
            rows.convertColumn(c, wider);
            out.columns[c].type = wider;
            if (wider == TFieldType::ftFloat)
                rows.setDouble(row, c, sqlite3_value_double(value));
            else
                rows.setText(row, c, text());
        }
    }
    if (rc != SQLITE_DONE)
        fail();
    for (int c = 0; c < n; ++c) {
        if (rows.kind(c) == TFieldType::ftUnknown)
            rows.convertColumn(c, TFieldType::ftString);
        out.columns[c].type = rows.kind(c);
    }
    rows.shrink();
    return true;
}

std::vector<std::string> SqliteProvider::primaryKey(const std::string& table) {
    connect();
    Statement s;
    s.stmt = prepare("select name from pragma_table_info(?1) where pk > 0 order by pk");
    sqlite3_bind_text(s.stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<std::string> key;
    while (sqlite3_step(s.stmt) == SQLITE_ROW)
        key.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 0)));
    return key;
}

void SqliteProvider::describe(const std::string& sql) {
    connect();
    Statement s;
    s.stmt = prepareOne(sql);
}

} // namespace zemt::data
