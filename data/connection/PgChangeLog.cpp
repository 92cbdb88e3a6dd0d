// The PostgreSQL side of the change log (db/postgres/schema.sql). Keys come
// from sequences outside transactions, so a later commit can carry a smaller
// key: a reader therefore does not ask for keys above the last it saw but
// for the entries its last snapshot could not see, by the transaction that
// wrote them. Each read runs in a read-only repeatable-read transaction so
// that the rows, the log and the snapshot agree.
#include "data/connection/PgProvider.h"

#include "data/values/Exceptions.h"
#include "data/values/Names.h"

#include <cctype>
#include <libpq-fe.h>
#include <optional>

namespace zemt::data {

namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct Result {
    PGresult* res = nullptr;
    ~Result() { PQclear(res); }
};

// The snapshot, the identity of every log trigger of the table and of the log
// (an altered, disabled, dropped or re-created trigger changes it), and
// whether all four are there and fire always.
const char* const kLogStateSql =
    "select pg_current_snapshot()::text,"
    " (select string_agg(t.tgname || ':' || t.tgenabled::text || ':' || t.xmin::text || ':'"
    "                    || p.xmin::text, ',' order by t.tgrelid, t.tgname)"
    "    from pg_trigger t join pg_proc p on p.oid = t.tgfoid"
    "   where t.tgrelid in (to_regclass(?), to_regclass('zemt_change_log'))"
    "     and t.tgname like 'zemt\\_log\\_%'),"
    " (select count(*) = 4 from pg_trigger t where t.tgenabled = 'A' and"
    "   ((t.tgrelid = to_regclass(?) and t.tgname in ('zemt_log_insert', 'zemt_log_change'))"
    "    or (t.tgrelid = to_regclass('zemt_change_log')"
    "        and t.tgname in ('zemt_log_trimmed', 'zemt_log_rewritten'))))";

// Entries the old snapshot could not see; whether the log lost any entry
// that snapshot might not have seen; whether anything but inserts happened.
const char* const kAddedKeysSql =
    "select (select count(*) = 1 and bool_and(upto < pg_snapshot_xmin(?::pg_snapshot))"
    "          from zemt_change_trimmed),"
    " coalesce(bool_or(row_key is null), false),"
    " coalesce(array_agg(row_key) filter (where row_key is not null), '{}')::text,"
    " count(row_key)"
    " from zemt_change_log"
    " where xid >= pg_snapshot_xmin(?::pg_snapshot)"
    "   and not pg_visible_in_snapshot(xid, ?::pg_snapshot) and tbl = ?";

} // namespace

/// A read-only repeatable-read transaction: one snapshot for several statements.
class PgProvider::ReadTransaction {
public:
    explicit ReadTransaction(PgProvider& provider) : provider_(provider) {
        PQclear(provider_.run("begin isolation level repeatable read, read only", {}));
        open_ = true;
    }
    ~ReadTransaction() {
        if (open_ && provider_.conn_)
            PQclear(PQexec(provider_.conn_, "rollback"));
    }
    void commit() {
        open_ = false;
        PQclear(provider_.run("commit", {}));
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    PgProvider& provider_;
    bool open_ = false;
};

struct PgProvider::LogState {
    std::string snapshot;
    std::string guard;
    bool usable = false;
};

PgProvider::LogState PgProvider::readLogState(const std::string& table) {
    Result r;
    r.res = run(kLogStateSql, {Variant(table), Variant(table)});
    LogState state;
    state.snapshot = PQgetvalue(r.res, 0, 0);
    state.guard = PQgetvalue(r.res, 0, 1);
    state.usable = PQgetvalue(r.res, 0, 2)[0] == 't';
    return state;
}

int PgProvider::keyColumn(const QueryResult& result) {
    // The table as the server names it: the log's key is its one whole-number key.
    std::string table;
    for (const ColumnInfo& column : result.columns)
        if (!column.baseTable.empty())
            table = column.baseTable;
    if (table.empty())
        return -1;
    const std::vector<std::string> key = primaryKey(table);
    if (key.size() != 1)
        return -1;
    for (int c = 0; c < static_cast<int>(result.columns.size()); ++c)
        if (sameName(result.columns[c].baseTable, table) &&
            sameName(result.columns[c].baseColumn, key[0]) &&
            result.rows.kind(c) == TFieldType::ftInteger)
            return c;
    return -1;
}

bool PgProvider::queryTable(const std::string& sql, const std::string& table, QueryResult& out,
                            ChangeMark& mark) {
    connect();
    mark = ChangeMark();
    std::optional<ReadTransaction> transaction;
    LogState state;
    try {
        transaction.emplace(*this);
        state = readLogState(table);
    } catch (const EDatabaseError&) {
        // A catalog the state query does not suit: an ordinary read.
        transaction.reset();
        return query(sql, {}, out);
    }
    const bool rows = query(sql, {}, out);
    transaction->commit();
    if (!state.usable || !rows)
        return rows;
    mark.keyColumn = keyColumn(out);
    if (mark.keyColumn < 0)
        return rows;
    mark.keyName = out.columns[mark.keyColumn].baseColumn;
    mark.valid = true;
    mark.position = state.snapshot;
    mark.guard = state.guard;
    return rows;
}

bool PgProvider::queryAddedRows(const std::string& sql, const std::string& table,
                                ChangeMark& mark, QueryResult& added) {
    if (!mark.valid)
        return false;
    ChangeMark next = mark;
    mark = ChangeMark();
    try {
        ReadTransaction transaction(*this);
        const LogState state = readLogState(table);
        if (!state.usable || state.guard != next.guard)
            return false;
        Result r;
        const Variant seen(next.position);
        r.res = run(kAddedKeysSql, {seen, seen, seen, Variant(lowerAscii(table))});
        const bool trusted = PQgetvalue(r.res, 0, 0)[0] == 't';
        const bool changed = PQgetvalue(r.res, 0, 1)[0] == 't';
        const std::string keys = PQgetvalue(r.res, 0, 2);
        const long long keyCount = std::atoll(PQgetvalue(r.res, 0, 3));
        if (!trusted || changed)
            return false;
        added = QueryResult();
        if (keyCount > 0) {
            const std::string keyName = quoteName(next.keyName);
            if (!query(sql + " where " + keyName + " = any(?::bigint[]) order by " + keyName,
                       {Variant(keys)}, added) ||
                added.rows.rowCount() != static_cast<std::uint32_t>(keyCount))
                return false;
        }
        transaction.commit();
        next.position = state.snapshot;
        mark = next;
        return true;
    } catch (const EDatabaseError&) {
        return false; // the full read that follows reports what is really wrong
    }
}

} // namespace zemt::data
