// "Добавить" of the payment dialog at office scale: 100,000 students and
// 1,000,000 payments, generated here at bench time. Its data-layer steps
// (line 1 of ADOQuery3 replaced, the statement executed, ADOTable3 closed and
// opened while the student list ADOQuery1 is open as its master) against the
// floor, one bare prepared INSERT of the same row through the driver; and the
// same steps over 100,000 payments, to show the cost does not grow with the
// table.
#include "bench/BenchMain.h"
#include "data/module/Unit3.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int kStudents = 100000;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string studentsSql(bool pg) {
    return pg ? "insert into student select 20000 + i, 'Фамилия' || i, 'Имя', 'ФМФ', 1 + i % 5"
                " from generate_series(1, " +
                    std::to_string(kStudents) + ") i;"
              : "with recursive s(i) as (select 1 union all select i + 1 from s where i < " +
                    std::to_string(kStudents) +
                    ") insert into student select 20000 + i, 'Фамилия' || i, 'Имя', 'ФМФ',"
                    " 1 + i % 5 from s;";
}

// Payments spread over the students, as years of an office's work leave them.
std::string paymentsSql(bool pg, int payments) {
    const std::string row = std::string("20001 + (") + (pg ? "i::bigint" : "i") + " * 7919) % " +
                            std::to_string(kStudents) + ", 'касса ' || (i % 5), 'март', 850";
    return pg ? "insert into Platej (Id_zach, Kashier_fname, Month_oplat, Summ) select " + row +
                    " from generate_series(1, " + std::to_string(payments) + ") i;"
              : "with recursive s(i) as (select 1 union all select i + 1 from s where i < " +
                    std::to_string(payments) +
                    ") insert into Platej (Id_zach, Kashier_fname, Month_oplat, Summ) select " +
                    row + " from s;";
}

std::string sqliteCatalog(int payments) {
    const auto dir = std::filesystem::temp_directory_path() / "zemt-bench-payment";
    std::filesystem::create_directories(dir);
    const auto file = dir / ("payments-" + std::to_string(payments) + ".sqlite");
    std::filesystem::remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    const std::string sql = readFile(ZEMT_SCHEMA_DIR "/sqlite/schema.sql") + "begin;" +
                            studentsSql(false) + paymentsSql(false, payments) + "commit;";
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        throw std::runtime_error(error ? error : "sqlite error");
    sqlite3_close(db);
    return file.string();
}

const std::string& sqlite1m() {
    static const std::string path = sqliteCatalog(1000000);
    return path;
}

const std::string& sqlite100k() {
    static const std::string path = sqliteCatalog(100000);
    return path;
}

std::string pgValue(const std::string& key) {
    const std::string info = benchPgConninfo();
    const auto at = info.find(key + "=");
    if (at == std::string::npos)
        return {};
    const auto from = at + key.size() + 1;
    return info.substr(from, info.find(' ', from) - from);
}

void pgExec(PGconn* conn, const std::string& sql) {
    PGresult* res = PQexec(conn, sql.c_str());
    const auto status = PQresultStatus(res);
    const std::string error = PQresultErrorMessage(res);
    PQclear(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(error);
}

const char* const kPgDatabase = "zemt_payments_1m";

std::string pgConninfo() {
    return "host=" + pgValue("host") + " port=" + pgValue("port") + " dbname=" + kPgDatabase;
}

bool pgReady() {
    static const bool ready = [] {
        if (benchPgConninfo().empty())
            return false;
        PGconn* admin = PQconnectdb(benchPgConninfo().c_str());
        PQsetNoticeProcessor(
            admin, [](void*, const char*) {}, nullptr);
        pgExec(admin, std::string("drop database if exists ") + kPgDatabase);
        pgExec(admin, std::string("create database ") + kPgDatabase +
                          " template template0 encoding 'UTF8'");
        PQfinish(admin);
        PGconn* conn = PQconnectdb(pgConninfo().c_str());
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
        pgExec(conn, readFile(ZEMT_SCHEMA_DIR "/postgres/schema.sql"));
        pgExec(conn, studentsSql(true) + paymentsSql(true, 1000000));
        pgExec(conn, "vacuum analyze");
        PQfinish(conn);
        return true;
    }();
    return ready;
}

// ---- the floor: one bare insert of the same row -----------------------------

void sqliteInsert(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(sqlite1m().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_exec(db, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ)"
                       " values (?, 'касса', 'март', '500')",
                       -1, &stmt, nullptr);
    for (auto _ : state) {
        sqlite3_bind_int(stmt, 1, 20001);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

void postgresInsert(benchmark::State& state) {
    if (!pgReady()) {
        state.SkipWithError("no PostgreSQL server (ZEMT_BENCH_PG)");
        return;
    }
    PGconn* conn = PQconnectdb(pgConninfo().c_str());
    PQclear(PQprepare(conn, "pay",
                      "insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ)"
                      " values ($1, 'касса', 'март', '500')",
                      0, nullptr));
    const char* values[] = {"20001"};
    for (auto _ : state) {
        PGresult* res = PQexecPrepared(conn, "pay", 1, values, nullptr, nullptr, 0);
        if (PQresultStatus(res) != PGRES_COMMAND_OK)
            state.SkipWithError(PQresultErrorMessage(res));
        PQclear(res);
    }
    PQfinish(conn);
}

// ---- the dialog's steps --------------------------------------------------------

void addPayments(benchmark::State& state, const std::string& connectionString) {
    TDataModule3 module;
    module.ADOConnection1->setConnectionString(connectionString);
    module.ADOQuery1->Open();
    module.ADOQuery1->setRecNo(kStudents / 2);
    // The payment table is open as it is after the session's first payment.
    module.ADOTable3->Open();
    for (auto _ : state) {
        const std::string student = module.ADOQuery1->FieldByName("Id_zach")->AsString();
        module.ADOQuery3->SQL().setLine(1, "VALUES ('" + student + "','касса','март','500')");
        module.ADOQuery3->ExecSQL();
        module.ADOTable3->Close();
        module.ADOTable3->Open();
    }
    state.counters["incremental"] = module.ADOTable3->openedWithAddedRowsOnly();
}

void sqlitePayment1m(benchmark::State& state) {
    addPayments(state, "Provider=SQLite;Data Source=" + sqlite1m());
}

void sqlitePayment100k(benchmark::State& state) {
    addPayments(state, "Provider=SQLite;Data Source=" + sqlite100k());
}

void postgresPayment1m(benchmark::State& state) {
    if (!pgReady()) {
        state.SkipWithError("no PostgreSQL server (ZEMT_BENCH_PG)");
        return;
    }
    addPayments(state, "Provider=PostgreSQL;Integrated Security=SSPI;Initial Catalog=" +
                           std::string(kPgDatabase) + ";Data Source=" + pgValue("host") +
                           ";Port=" + pgValue("port"));
}

const bool registered = [] {
    benchmark::RegisterBenchmark("payment/sqlite_insert", sqliteInsert)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("payment/sqlite_1m", sqlitePayment1m)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("payment/sqlite_100k", sqlitePayment100k)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("payment/postgres_insert", postgresInsert)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("payment/postgres_1m", postgresPayment1m)
        ->Unit(benchmark::kMillisecond);
    registerRatio("payment_1m_vs_insert", "payment/sqlite_1m", "payment/sqlite_insert");
    registerRatio("payment_1m_vs_insert_postgres", "payment/postgres_1m",
                  "payment/postgres_insert");
    registerRatio("payment_1m_vs_100k", "payment/sqlite_1m", "payment/sqlite_100k");
    return true;
}();

} // namespace
