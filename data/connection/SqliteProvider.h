#pragma once
// The embedded provider over libsqlite3: one catalog file, foreign keys on,
// double-quoted text taken only as identifiers, a busy timeout so that two
// programs on one file wait briefly instead of failing.
#include "data/connection/Provider.h"

#include <map>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace zemt::data {

/// SQLite has no date type: a TEXT column is reported as a date (time, date
/// and time) when its table's definition checks it with date(col) (time(col),
/// datetime(col)), as the catalog schema does; DATE, TIME, DATETIME and
/// TIMESTAMP declared types count as well. Values are ISO text in the file.
class SqliteProvider : public Provider {
public:
    explicit SqliteProvider(std::string path);
    ~SqliteProvider() override;

    void connect() override;
    bool connected() const override { return db_ != nullptr; }
    void disconnect() override;
    long long execute(const std::string& sql, const std::vector<Variant>& params) override;
    bool query(const std::string& sql, const std::vector<Variant>& params,
               QueryResult& out) override;
    std::vector<std::string> primaryKey(const std::string& table) override;
    void describe(const std::string& sql) override;
    bool queryTable(const std::string& sql, const std::string& table, QueryResult& out,
                    ChangeMark& mark) override;
    bool queryAddedRows(const std::string& sql, const std::string& table, ChangeMark& mark,
                        QueryResult& added) override;

private:
    struct LogState;
    bool readLogState(const std::string& table, LogState& state);
    int rowidKeyColumn(const std::string& table, const QueryResult& result);
    [[noreturn]] void fail() const;
    sqlite3_stmt* prepare(const std::string& sql);
    /// The one statement of a text (nullptr for a text with none); a second
    /// statement is refused.
    sqlite3_stmt* prepareOne(const std::string& sql);
    void bind(sqlite3_stmt* stmt, const std::vector<Variant>& params);
    ColumnInfo describeColumn(sqlite3_stmt* stmt, int column);
    TFieldType checkedTextKind(const std::string& table, const std::string& column);

    std::string path_;
    sqlite3* db_ = nullptr;
    std::map<std::string, std::string> tableSql_; // lower-case name -> folded definition
};

} // namespace zemt::data
