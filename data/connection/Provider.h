#pragma once
// What a data set needs of a database: run a statement with positional
// values, read a whole result with each column's description, name the
// primary key of a base table, and tell what was added to a table since it
// was last read. One implementation per database.
#include "data/connection/ChangeMark.h"
#include "data/rows/RowStore.h"
#include "data/values/FieldType.h"
#include "data/values/Variant.h"

#include <memory>
#include <string>
#include <vector>

namespace zemt::data {

/// A result column as the database describes it.
struct ColumnInfo {
    std::string name; ///< as the database reports it
    TFieldType type = TFieldType::ftUnknown;
    int size = 0;           ///< declared length of a text column, 0 when unknown
    std::string baseTable;  ///< empty when the column is not read from a base table
    std::string baseColumn; ///< name of the column in baseTable
};

/// Every row of a result, read at once.
struct QueryResult {
    std::vector<ColumnInfo> columns;
    RowStore rows;
    /// Room the rows are expected to need (what the same statement needed
    /// last time), so that reading does not grow and copy the store.
    RowStore::Capacity expected;
};

/// A connection to one database. Statements use '?' as the positional
/// placeholder; the provider maps it to its database's own form. Every
/// failure throws EADOError with the database's description.
class Provider {
public:
    virtual ~Provider() = default;
    /// Connects; throws on failure and stays disconnected.
    virtual void connect() = 0;
    virtual bool connected() const = 0;
    virtual void disconnect() = 0;
    /// Runs a statement; returns the number of rows it changed.
    virtual long long execute(const std::string& sql, const std::vector<Variant>& params) = 0;
    /// Runs a statement and reads every row. Returns false when the
    /// statement ran but returned no result set.
    virtual bool query(const std::string& sql, const std::vector<Variant>& params,
                       QueryResult& out) = 0;
    /// Primary-key columns of a base table, in key order; empty when it has none.
    virtual std::vector<std::string> primaryKey(const std::string& table) = 0;
    /// Asks the database to describe a statement (errors are the caller's to ignore).
    virtual void describe(const std::string& sql) = 0;
    /// An identifier quoted for this database.
    virtual std::string quoteName(const std::string& name) const;

    /// Reads every row of a table with sql ("select * from <table>") and,
    /// when the table keeps a change log this provider trusts, marks where
    /// the log stood; rows and mark come from one snapshot. Without a log the
    /// mark is invalid and the read is an ordinary query.
    virtual bool queryTable(const std::string& sql, const std::string& table, QueryResult& out,
                            ChangeMark& mark);
    /// Reads the rows added to a table since the mark, when adding rows is
    /// all that happened to it, and moves the mark to now. Returns false, with
    /// the mark invalid, when anything else happened or the log cannot vouch
    /// for it: the caller then reads the whole table. sql is the statement
    /// that read the table.
    virtual bool queryAddedRows(const std::string& sql, const std::string& table, ChangeMark& mark,
                                QueryResult& added);
};

/// Parsed "Key=Value;..." pairs; keys compared without regard to case.
class ConnectionString {
public:
    explicit ConnectionString(const std::string& text);
    /// Value of a key, or empty.
    std::string value(const std::string& key) const;
    bool has(const std::string& key) const;

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
};

/// The provider that a connection string names ("Provider=SQLite" or
/// "Provider=PostgreSQL"); throws EADOError for anything else.
std::unique_ptr<Provider> makeProvider(const std::string& connectionString);

/// Places of the '?' placeholders: those outside quoted literals and identifiers.
std::vector<std::size_t> placeholderPositions(const std::string& sql);
/// Number of those placeholders.
int countPlaceholders(const std::string& sql);

} // namespace zemt::data
