// Opening a data set of 100,000 rows of 6 columns, against what the same
// work costs without the data layer, and the memory 1,000,000 such rows hold.
#include "bench/BenchMain.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/TADOQuery.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <malloc.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRowsBig = 1000000;
const char* const kSelect = "select id, a, b, name, city, d from bench";
const char* const kSelectBig = "select id, a, b, name, city, d from bench1m";

void sqliteExec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        throw std::runtime_error(error ? error : "sqlite error");
}

// Six columns: whole numbers, short texts, a date (ISO text, checked as one).
void fillSqlite(sqlite3* db, const char* table, int rows) {
    sqliteExec(db, std::string("create table ") + table +
                       " (id integer primary key, a integer, b integer, name text, city text,"
                       " d text check (d is null or date(d) is d)) strict");
    sqliteExec(db, "begin");
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, (std::string("insert into ") + table + " values (?,?,?,?,?,?)").c_str(),
                       -1, &stmt, nullptr);
    const char* names[] = {"Иванов", "Петров", "Сидорова", "Орлов", "Кузнецова"};
    const char* cities[] = {"Москва", "Тверь", "Казань", "Омск"};
    for (int i = 0; i < rows; ++i) {
        char date[16];
        std::snprintf(date, sizeof date, "2026-%02d-%02d", i % 12 + 1, i % 28 + 1);
        sqlite3_bind_int(stmt, 1, i + 1);
        sqlite3_bind_int(stmt, 2, i % 1000);
        sqlite3_bind_int(stmt, 3, i * 7);
        sqlite3_bind_text(stmt, 4, names[i % 5], -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 5, cities[i % 4], -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 6, date, -1, SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqliteExec(db, "commit");
}

const std::string& sqlitePath() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / "zemt-bench-open";
        std::filesystem::create_directories(dir);
        const auto file = dir / "bench.sqlite";
        std::filesystem::remove(file);
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        fillSqlite(db, "bench", kRows);
        fillSqlite(db, "bench1m", kRowsBig);
        sqlite3_close(db);
        return file.string();
    }();
    return path;
}

bool pgReady() {
    static const bool ready = [] {
        if (benchPgConninfo().empty())
            return false;
        PGconn* conn = PQconnectdb(benchPgConninfo().c_str());
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
        const char* sql =
            "drop table if exists bench;"
            "create table bench (id integer primary key, a integer, b integer, name text,"
            " city text, d date);"
            "insert into bench select i, i % 1000, i * 7,"
            " (array['Иванов','Петров','Сидорова','Орлов','Кузнецова'])[i % 5 + 1],"
            " (array['Москва','Тверь','Казань','Омск'])[i % 4 + 1],"
            " date '2026-01-01' + (i % 300) from generate_series(1, 100000) i;"
            "analyze bench;";
        PGresult* res = PQexec(conn, sql);
        const bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
        PQclear(res);
        PQfinish(conn);
        return ok;
    }();
    return ready;
}

// ---- SQLite ---------------------------------------------------------------------

// Baseline: a bare sqlite3_step loop copying every value into plain vectors.
void sqliteRaw(benchmark::State& state) {
    sqlite3* db = nullptr;
    // Opened as the data layer opens it: one thread, no connection mutex.
    sqlite3_open_v2(sqlitePath().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    for (auto _ : state) {
        std::vector<std::int64_t> ints;
        std::vector<std::string> texts;
        ints.reserve(kRows * 3);
        texts.reserve(kRows * 3);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, kSelect, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < 3; ++c)
                ints.push_back(sqlite3_column_int64(stmt, c));
            for (int c = 3; c < 6; ++c)
                texts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                   static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(ints.data());
        benchmark::DoNotOptimize(texts.data());
    }
    sqlite3_close(db);
}

void sqliteDataSet(benchmark::State& state) {
    TADOConnection connection;
    connection.setConnectionString("Provider=SQLite;Data Source=" + sqlitePath());
    TADOQuery query("ADOQuery1");
    query.setConnection(&connection);
    query.SQL().assignDeclared({kSelect});
    for (auto _ : state) {
        query.Open();
        benchmark::DoNotOptimize(query.RecordCount());
        query.Close();
    }
}

// What a Qt developer would write instead: QSqlQueryModel fetching every row.
void sqliteQt(benchmark::State& state) {
    ensureApplication(); // the one application object the widget benchmarks need too
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench");
        db.setDatabaseName(QString::fromStdString(sqlitePath()));
        db.open();
        for (auto _ : state) {
            QSqlQueryModel model;
            model.setQuery(QSqlQuery(kSelect, db));
            while (model.canFetchMore())
                model.fetchMore();
            benchmark::DoNotOptimize(model.rowCount());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("bench");
}

// Held memory per cell after opening 1,000,000 rows of 6 columns.
void heldBytes(benchmark::State& state) {
    TADOConnection connection;
    connection.setConnectionString("Provider=SQLite;Data Source=" + sqlitePath());
    TADOQuery query("ADOQuery1");
    query.setConnection(&connection);
    query.SQL().assignDeclared({kSelectBig});
    connection.Open();
    for (auto _ : state) {
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        query.Open();
        const size_t after = mallinfo2().uordblks;
        reportValue("held_bytes_per_cell_1m",
                    static_cast<double>(after - before) / (double(query.RecordCount()) * 6));
        query.Close();
    }
}

// ---- PostgreSQL -----------------------------------------------------------------

// Baseline: a bare PQexec and a copy of every value.
void postgresRaw(benchmark::State& state) {
    if (!pgReady()) {
        state.SkipWithError("no PostgreSQL server (ZEMT_BENCH_PG)");
        return;
    }
    PGconn* conn = PQconnectdb(benchPgConninfo().c_str());
    for (auto _ : state) {
        std::vector<std::string> values;
        PGresult* res = PQexec(conn, kSelect);
        const int rows = PQntuples(res), cols = PQnfields(res);
        values.reserve(static_cast<size_t>(rows) * cols);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                values.emplace_back(PQgetvalue(res, r, c),
                                    static_cast<size_t>(PQgetlength(res, r, c)));
        PQclear(res);
        benchmark::DoNotOptimize(values.data());
    }
    PQfinish(conn);
}

void postgresDataSet(benchmark::State& state) {
    if (!pgReady()) {
        state.SkipWithError("no PostgreSQL server (ZEMT_BENCH_PG)");
        return;
    }
    std::string host, port;
    for (const char* key : {"host=", "port="}) {
        const std::string info = benchPgConninfo();
        const auto at = info.find(key);
        const std::string value = info.substr(at + 5, info.find(' ', at) - at - 5);
        (std::string(key) == "host=" ? host : port) = value;
    }
    TADOConnection connection;
    connection.setConnectionString(
        "Provider=PostgreSQL;Integrated Security=SSPI;Initial Catalog=ZEMT;"
        "Data Source=" +
        host + ";Port=" + port);
    TADOQuery query("ADOQuery1");
    query.setConnection(&connection);
    query.SQL().assignDeclared({kSelect});
    for (auto _ : state) {
        query.Open();
        benchmark::DoNotOptimize(query.RecordCount());
        query.Close();
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("open/sqlite_raw", sqliteRaw)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/sqlite_dataset", sqliteDataSet)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/sqlite_qt", sqliteQt)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/postgres_raw", postgresRaw)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/postgres_dataset", postgresDataSet)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/held_bytes_1m", heldBytes)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    registerRatio("open_sqlite_100k_vs_raw", "open/sqlite_dataset", "open/sqlite_raw");
    registerRatio("open_postgres_100k_vs_raw", "open/postgres_dataset", "open/postgres_raw");
    registerRatio("open_sqlite_100k_vs_qt", "open/sqlite_dataset", "open/sqlite_qt");
    return true;
}();

} // namespace
