// The PostgreSQL side of the change log (db/postgres/schema.sql). Keys come
// from sequences outside transactions, so a later commit can carry a smaller
// key: a reader therefore does not ask for keys above the last it saw but
// for the entries its last snapshot could not see, by the transaction that
// wrote them. Each read is one read-only repeatable-read transaction, so
// that rows, log and snapshot agree, sent as one script: one round trip.
#include "data/connection/PgProvider.h"

#include "data/values/Exceptions.h"
#include "data/values/Names.h"

#include <libpq-fe.h>
#include <utility>

namespace zemt::data {

namespace {

/// A text literal: the table name is declared data, quoted all the same.
std::string literal(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    return out + "'";
}

/// A snapshot as the server wrote it ("xmin:xmax:xip,..."): only digits,
/// colons and commas, checked before it goes back into a statement.
bool snapshotText(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789:,") == std::string::npos;
}

struct Results {
    std::vector<PGresult*> list;
    ~Results() {
        for (PGresult* r : list)
            PQclear(r);
    }
};

const char* const kBegin = "begin isolation level repeatable read, read only;";

// The snapshot; the identity of every log trigger of the table and of the
// log (an altered, disabled, dropped or re-created trigger changes it) and of
// the table's columns (a column added with a default changes every row and
// fires no trigger); and whether all four triggers are there and fire always.
std::string logStateColumns(const std::string& table) {
    const std::string t = "to_regclass(" + literal(table) + ")";
    return "pg_current_snapshot()::text,"
           " coalesce((select string_agg(t.tgname || ':' || t.tgenabled::text || ':'"
           "                    || t.xmin::text || ':' || p.xmin::text, ',' order by t.tgrelid, t.tgname)"
           "    from pg_trigger t join pg_proc p on p.oid = t.tgfoid"
           "   where t.tgrelid in (" +
           t +
           ", to_regclass('zemt_change_log'))"
           "     and t.tgname like 'zemt\\_log\\_%'), '') || ';' ||"
           " coalesce((select string_agg(a.attnum::text || ':' || a.xmin::text, ',' order by a.attnum)"
           "    from pg_attribute a where a.attrelid = " +
           t +
           " and a.attnum > 0 and not a.attisdropped), ''),"
           " (select count(*) = 4 from pg_trigger t where t.tgenabled = 'A' and"
           "   ((t.tgrelid = " +
           t +
           " and t.tgname in ('zemt_log_insert', 'zemt_log_change'))"
           "    or (t.tgrelid = to_regclass('zemt_change_log')"
           "        and t.tgname in ('zemt_log_trimmed', 'zemt_log_rewritten'))))";
}

// Entries of the table the old snapshot could not see.
std::string unseenEntries(const std::string& snapshot, const std::string& table) {
    const std::string s = literal(snapshot) + "::pg_snapshot";
    return " from zemt_change_log where xid >= pg_snapshot_xmin(" + s +
           ") and not pg_visible_in_snapshot(xid, " + s +
           ") and tbl = " + literal(lowerName(table));
}

} // namespace

std::vector<PGresult*> PgProvider::runScript(const std::string& sql) {
    connect();
    if (!PQsendQuery(conn_, sql.c_str()))
        fail(nullptr);
    Results results;
    PGresult* failed = nullptr;
    while (PGresult* res = PQgetResult(conn_)) {
        const auto status = PQresultStatus(res);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && !failed)
            failed = res;
        else
            results.list.push_back(res);
    }
    if (failed) {
        // The script stopped inside its transaction: end it.
        if (PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) != PQTRANS_IDLE)
            PQclear(PQexec(conn_, "rollback"));
        fail(failed);
    }
    return std::exchange(results.list, {});
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
    mark = ChangeMark();
    Results results;
    try {
        results.list =
            runScript(kBegin + ("select " + logStateColumns(table) + ";") + sql + ";commit");
    } catch (const EDatabaseError&) {
        // A dropped connection is this operation's error; the next one connects again.
        if (!connected())
            throw;
        // A catalog (or server) the state query does not suit: an ordinary read.
        return query(sql, {}, out);
    }
    if (results.list.size() != 4 || PQresultStatus(results.list[2]) != PGRES_TUPLES_OK)
        return query(sql, {}, out);
    readResult(results.list[2], out);
    PGresult* state = results.list[1];
    if (PQgetvalue(state, 0, 2)[0] != 't')
        return true;
    mark.keyColumn = keyColumn(out);
    if (mark.keyColumn < 0)
        return true;
    mark.keyName = out.columns[mark.keyColumn].baseColumn;
    mark.position = PQgetvalue(state, 0, 0);
    mark.guard = PQgetvalue(state, 0, 1);
    mark.valid = snapshotText(mark.position);
    return true;
}

bool PgProvider::queryAddedRows(const std::string& sql, const std::string& table, ChangeMark& mark,
                                QueryResult& added) {
    if (!mark.valid || !snapshotText(mark.position))
        return false;
    ChangeMark next = mark;
    mark = ChangeMark();
    const std::string snapshot = next.position;
    const std::string key = quoteName(next.keyName);
    // Whether the log lost an entry the old snapshot might not have seen;
    // whether anything but inserts happened; how many rows were added.
    const std::string state = "select " + logStateColumns(table) +
                              ", (select count(*) = 1 and bool_and(upto < pg_snapshot_xmin(" +
                              literal(snapshot) +
                              "::pg_snapshot)) from zemt_change_trimmed),"
                              " coalesce(bool_or(row_key is null), false), count(row_key)" +
                              unseenEntries(snapshot, table);
    const std::string rows = sql + " where " + key + " = any(array(select row_key" +
                             unseenEntries(snapshot, table) + ")) order by " + key;
    Results results;
    try {
        results.list = runScript(kBegin + state + ";" + rows + ";commit");
    } catch (const EDatabaseError&) {
        // A dropped connection is this operation's error; the next one connects again.
        if (!connected())
            throw;
        return false; // the full read that follows reports what is really wrong
    }
    if (results.list.size() != 4 || PQresultStatus(results.list[2]) != PGRES_TUPLES_OK)
        return false;
    PGresult* found = results.list[1];
    const bool usable = PQgetvalue(found, 0, 2)[0] == 't';
    const bool trusted = PQgetvalue(found, 0, 3)[0] == 't';
    const bool changed = PQgetvalue(found, 0, 4)[0] == 't';
    const long long count = std::atoll(PQgetvalue(found, 0, 5));
    if (!usable || PQgetvalue(found, 0, 1) != next.guard || !trusted || changed ||
        PQntuples(results.list[2]) != count)
        return false;
    added = QueryResult();
    if (count > 0)
        readResult(results.list[2], added);
    next.position = PQgetvalue(found, 0, 0);
    mark = next;
    return snapshotText(mark.position);
}

} // namespace zemt::data
