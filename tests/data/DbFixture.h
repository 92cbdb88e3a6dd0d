#pragma once
// A fresh catalog on either database for each test, and a connection of the
// data layer to it. PostgreSQL cases skip when the test cluster is absent.
#include "data/connection/TADOConnection.h"
#include "data/dataset/TADOQuery.h"
#include "data/dataset/TADOTable.h"
#include "data/dataset/TDataSource.h"
#include "data/values/Exceptions.h"
#include "data/values/FormatSettings.h"
#include "tests/support/Catalogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

enum class Db { SQLite, PostgreSQL };

inline std::string dbName(const testing::TestParamInfo<Db>& info) {
    return info.param == Db::SQLite ? "SQLite" : "PostgreSQL";
}

class DbTest : public testing::TestWithParam<Db> {
protected:
    void SetUp() override {
        FormatSettings() = TFormatSettings{'.', "%d.%m.%Y", "%H:%M:%S"};
        if (GetParam() == Db::PostgreSQL) {
            if (testsupport::testPgConninfo().empty())
                GTEST_SKIP() << "no PostgreSQL test cluster";
            testsupport::resetPostgresCatalog();
            connectionString = testsupport::postgresConnectionString();
        } else {
            path = testsupport::makeTempSqliteCatalog();
            connectionString = testsupport::sqliteConnectionString(path);
        }
        connection = std::make_unique<TADOConnection>("ADOConnection1");
        connection->setConnectionString(connectionString);
    }

    bool pg() const { return GetParam() == Db::PostgreSQL; }

    /// Runs SQL directly on the catalog, as another workstation would.
    void exec(const std::string& sql) {
        pg() ? testsupport::execPostgres(sql) : testsupport::execSqlite(path, sql);
    }
    std::string scalar(const std::string& sql) {
        return pg() ? testsupport::queryScalarPostgres(sql)
                    : testsupport::queryScalarSqlite(path, sql);
    }

    std::unique_ptr<TADOQuery> query(const std::string& sql, const std::string& name = "Q") {
        auto q = std::make_unique<TADOQuery>(name);
        q->setConnection(connection.get());
        q->SQL().setText(sql);
        return q;
    }
    std::unique_ptr<TADOTable> table(const std::string& tableName, const std::string& name = "T") {
        auto t = std::make_unique<TADOTable>(name);
        t->setConnection(connection.get());
        t->setTableName(tableName);
        return t;
    }

    std::string path;
    std::string connectionString;
    std::unique_ptr<TADOConnection> connection;
};

/// The message of the exception a call throws ("" when it throws none).
template <class E = Exception> std::string messageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

#define INSTANTIATE_DB_TEST(Suite)                                                                 \
    INSTANTIATE_TEST_SUITE_P(Db, Suite, testing::Values(Db::SQLite, Db::PostgreSQL), dbName)
