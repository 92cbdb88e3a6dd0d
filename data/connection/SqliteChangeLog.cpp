// The SQLite side of the change log (db/sqlite/schema.sql): inserted rows
// log their rowid under an AUTOINCREMENT sequence, updated and deleted rows
// an entry without one. Writers are serialised by the database, and a
// rolled-back write gives its sequence numbers back, so the entries a reader
// has not seen are exactly those above its last one, without gaps; a gap
// means that entries were trimmed or deleted, and the reader reads everything.
#include "data/connection/SqliteProvider.h"

#include "data/values/ErrorText.h"
#include "data/values/Exceptions.h"
#include "data/values/Names.h"

#include <sqlite3.h>

namespace zemt::data {

namespace {

/// One read transaction around several statements, so that they share a
/// snapshot; rolled back when left without commit.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3* db) : db_(db), own_(sqlite3_get_autocommit(db) != 0) {
        if (own_ && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
            throwProviderError(sqlite3_errmsg(db_));
    }
    ~ReadTransaction() {
        if (own_)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void commit() {
        if (own_ && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throwProviderError(sqlite3_errmsg(db_));
        own_ = false;
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    sqlite3* db_;
    bool own_;
};

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

} // namespace

struct SqliteProvider::LogState {
    long long lastSeq = 0; // the last sequence number handed out
    std::string guard;     // the schema version: triggers and log as they were
};

bool SqliteProvider::readLogState(const std::string& table, LogState& state) {
    Statement s;
    if (sqlite3_prepare_v2(
            db_,
            "select (select schema_version from pragma_schema_version),"
            " coalesce((select seq from sqlite_sequence where name = 'zemt_change_log'), 0),"
            " (select count(*) from sqlite_schema where type = 'trigger' and lower(tbl_name) = ?1"
            "   and name in ('zemt_log_' || ?1 || '_insert', 'zemt_log_' || ?1 || '_update',"
            "                'zemt_log_' || ?1 || '_delete')),"
            " (select count(*) from sqlite_schema where type = 'table'"
            "   and name = 'zemt_change_log')",
            -1, &s.stmt, nullptr) != SQLITE_OK)
        return false; // no sequence table: a catalog without the log
    const std::string name = lowerName(table);
    sqlite3_bind_text(s.stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(s.stmt) != SQLITE_ROW)
        return false;
    state.lastSeq = sqlite3_column_int64(s.stmt, 1);
    state.guard = std::to_string(sqlite3_column_int64(s.stmt, 0));
    return sqlite3_column_int(s.stmt, 2) == 3 && sqlite3_column_int(s.stmt, 3) == 1;
}

int SqliteProvider::rowidKeyColumn(const std::string& table, const QueryResult& result) {
    // The log names rowids; only a rowid alias (INTEGER PRIMARY KEY) shows them in the rows.
    Statement s;
    if (sqlite3_prepare_v2(db_, "select name, upper(type) from pragma_table_info(?1) where pk > 0",
                           -1, &s.stmt, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_bind_text(s.stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    std::string key;
    int keys = 0;
    while (sqlite3_step(s.stmt) == SQLITE_ROW) {
        ++keys;
        if (std::string(reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 1))) == "INTEGER")
            key = reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 0));
    }
    if (keys != 1 || key.empty())
        return -1;
    for (int c = 0; c < static_cast<int>(result.columns.size()); ++c) {
        const ColumnInfo& column = result.columns[c];
        if (sameName(column.baseTable, table) && sameName(column.baseColumn, key) &&
            result.rows.kind(c) == TFieldType::ftInteger) {
            // The rows must have come in rowid order for added rows to join at the end.
            for (std::uint32_t r = 0; r < result.rows.rowCount(); ++r)
                if (result.rows.isNull(r, c) ||
                    (r > 0 && result.rows.intAt(r, c) <= result.rows.intAt(r - 1, c)))
                    return -1;
            return c;
        }
    }
    return -1;
}

bool SqliteProvider::queryTable(const std::string& sql, const std::string& table, QueryResult& out,
                                ChangeMark& mark) {
    connect();
    mark = ChangeMark();
    ReadTransaction transaction(db_);
    LogState state;
    const bool logged = readLogState(table, state);
    const bool rows = query(sql, {}, out);
    transaction.commit();
    if (!logged || !rows)
        return rows;
    mark.keyColumn = rowidKeyColumn(table, out);
    if (mark.keyColumn < 0)
        return rows;
    mark.keyName = out.columns[mark.keyColumn].baseColumn;
    mark.valid = true;
    mark.keyOrder = true;
    mark.position = std::to_string(state.lastSeq);
    mark.guard = state.guard;
    return rows;
}

bool SqliteProvider::queryAddedRows(const std::string& sql, const std::string& table,
                                    ChangeMark& mark, QueryResult& added) {
    if (!mark.valid)
        return false;
    ChangeMark next = mark;
    mark = ChangeMark();
    connect();
    try {
        ReadTransaction transaction(db_);
        LogState state;
        const long long seen = std::stoll(next.position);
        if (!readLogState(table, state) || state.guard != next.guard || state.lastSeq < seen)
            return false;
        Statement s;
        s.stmt =
            prepare("select seq, tbl, row_key from zemt_change_log where seq > ?1 order by seq");
        sqlite3_bind_int64(s.stmt, 1, seen);
        const std::string name = lowerName(table);
        long long expected = seen + 1;
        std::string keys;
        std::uint32_t keyCount = 0;
        while (sqlite3_step(s.stmt) == SQLITE_ROW) {
            if (sqlite3_column_int64(s.stmt, 0) != expected++)
                return false;
            if (reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 1)) != name)
                continue;
            if (sqlite3_column_type(s.stmt, 2) != SQLITE_INTEGER)
                return false; // a row was changed or deleted
            keys += (keys.empty() ? "[" : ",") + std::to_string(sqlite3_column_int64(s.stmt, 2));
            ++keyCount;
        }
        if (expected - 1 != state.lastSeq)
            return false;
        added = QueryResult();
        if (keyCount > 0) {
            if (!query(sql + " where rowid in (select value from json_each(?1)) order by rowid",
                       {Variant(keys + "]")}, added) ||
                added.rows.rowCount() != keyCount)
                return false;
        }
        transaction.commit();
        next.position = std::to_string(state.lastSeq);
        mark = next;
        return true;
    } catch (const EDatabaseError&) {
        return false; // the full read that follows reports what is really wrong
    }
}

} // namespace zemt::data
