#pragma once
// The server provider over libpq. Integrated security: the operating-system
// user, no password, no dialog. Every connection turns on
// standard_conforming_strings so that doubled single quotes escape fully.
#include "data/connection/Provider.h"

#include <map>
#include <string>

struct pg_conn;
struct pg_result;

namespace zemt::data {

/// A connection the server dropped (restart, network gone) is noticed by the
/// failing call, which reports the error and forgets the connection; the
/// next call connects again. Nothing is retried on its own.
class PgProvider : public Provider {
public:
    explicit PgProvider(const ConnectionString& settings);
    ~PgProvider() override;

    void connect() override;
    bool connected() const override { return conn_ != nullptr; }
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
    /// Columns and rows of a result of this connection (the result stays the caller's).
    void readResult(pg_result* result, QueryResult& out);
    /// Runs several statements in one round trip; every result, in order.
    std::vector<pg_result*> runScript(const std::string& sql);
    int keyColumn(const QueryResult& result);
    struct TableInfo {
        std::string name; // empty unless an ordinary table
        std::map<int, std::string> columns;
    };
    pg_result* run(const std::string& sql, const std::vector<Variant>& params);
    [[noreturn]] void fail(pg_result* result);
    void loadTables(pg_result* result);

    std::string host_, port_, database_, user_, password_;
    pg_conn* conn_ = nullptr;
    std::map<unsigned, TableInfo> tables_;
    std::map<std::string, std::vector<std::string>> keys_;
};

/// '?' placeholders outside quoted literals and identifiers become $1, $2, ...
std::string numberedPlaceholders(const std::string& sql);

} // namespace zemt::data
