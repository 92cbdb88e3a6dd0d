// "Добавить" of the payment dialog at office scale: 100,000 students and
// 1,000,000 payments, generated here at bench time. Its data-layer steps
// (line 1 of ADOQuery3 replaced, the statement executed, ADOTable3 closed and
// opened while the student list ADOQuery1 is open as its master) against the
// floor, one bare prepared INSERT of a payment through the driver on the same
// catalog (its change-log triggers fire for both); and the same steps over
// 100,000 payments, to show the cost does not grow with the table.
#include "bench/BenchMain.h"
#include "data/module/Unit3.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

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

struct SqliteCatalogs {
    std::string payments1m, payments100k;
};

// Both made before anything is timed, and on disk: the floor's commit must
// not wait for the write-back of a catalog made a moment ago.
const SqliteCatalogs& sqliteCatalogs() {
    static const SqliteCatalogs catalogs = [] {
        SqliteCatalogs made{sqliteCatalog(1000000), sqliteCatalog(100000)};
        sync();
        return made;
    }();
    return catalogs;
}

const std::string& sqlite1m() {
    return sqliteCatalogs().payments1m;
}

const std::string& sqlite100k() {
    return sqliteCatalogs().payments100k;
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
        pgExec(conn, "checkpoint");
        PQfinish(conn);
        return true;
    }();
    return ready;
}

// Each iteration takes turns: the floor, then the dialog's steps on each
// catalog, each timed on its own. Taking turns keeps the disk's and the
// machine's moods out of the ratios: every side sees the same moments.

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()>& step) {
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// The data-layer steps of "Добавить", on one catalog.
class PaymentDialog {
public:
    explicit PaymentDialog(const std::string& connectionString) {
        module_.ADOConnection1->setConnectionString(connectionString);
        module_.ADOQuery1->Open();
        module_.ADOQuery1->setRecNo(kStudents / 2);
        // The payment table is open, as after the session's first payment.
        module_.ADOTable3->Open();
    }
    void add() {
        const std::string student = module_.ADOQuery1->FieldByName("Id_zach")->AsString();
        module_.ADOQuery3->SQL().setLine(1, "VALUES ('" + student + "','касса','март','500')");
        module_.ADOQuery3->ExecSQL();
        reopenMs_ += millisecondsOf([&] {
            module_.ADOTable3->Close();
            module_.ADOTable3->Open();
        });
    }
    /// Time spent closing and opening the payment table, the part that read
    /// the whole table before the change log.
    double reopenMs() const { return reopenMs_; }
    bool readOnlyAddedRows() const { return module_.ADOTable3->openedWithAddedRowsOnly(); }

private:
    TDataModule3 module_;
    double reopenMs_ = 0;
};

const char* const kInsert = "insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ)"
                            " values (20001, 'касса', 'март', '500')";

void sqlitePayments(benchmark::State& state) {
    // The floor: a bare prepared insert through sqlite3, opened as the data layer opens it.
    sqlite3* db = nullptr;
    sqlite3_open_v2(sqlite1m().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, kInsert, -1, &insert, nullptr);
    PaymentDialog large("Provider=SQLite;Data Source=" + sqlite1m());
    PaymentDialog small("Provider=SQLite;Data Source=" + sqlite100k());
    double floor = 0, at1m = 0, at100k = 0;
    for (auto _ : state) {
        floor += millisecondsOf([&] {
            if (sqlite3_step(insert) != SQLITE_DONE)
                state.SkipWithError(sqlite3_errmsg(db));
            sqlite3_reset(insert);
        });
        at1m += millisecondsOf([&] { large.add(); });
        at100k += millisecondsOf([&] { small.add(); });
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    const double n = static_cast<double>(state.iterations());
    state.counters["incremental"] = large.readOnlyAddedRows() && small.readOnlyAddedRows();
    reportValue("payment_sqlite_insert_ms", floor / n);
    reportValue("payment_sqlite_1m_ms", at1m / n);
    reportValue("payment_sqlite_100k_ms", at100k / n);
    reportValue("payment_1m_vs_insert", at1m / floor);
    reportValue("payment_1m_vs_100k", at1m / at100k);
    reportValue("payment_sqlite_reopen_1m_ms", large.reopenMs() / n);
    reportValue("payment_sqlite_reopen_100k_ms", small.reopenMs() / n);
}

void postgresPayments(benchmark::State& state) {
    if (!pgReady()) {
        state.SkipWithError("no PostgreSQL server (ZEMT_BENCH_PG)");
        return;
    }
    // The floor: a bare prepared insert through libpq.
    PGconn* conn = PQconnectdb(pgConninfo().c_str());
    PQclear(PQprepare(conn, "pay", kInsert, 0, nullptr));
    PaymentDialog large(
        "Provider=PostgreSQL;Integrated Security=SSPI;Initial Catalog=" + std::string(kPgDatabase) +
        ";Data Source=" + pgValue("host") + ";Port=" + pgValue("port"));
    double floor = 0, at1m = 0;
    for (auto _ : state) {
        floor += millisecondsOf([&] {
            PGresult* res = PQexecPrepared(conn, "pay", 0, nullptr, nullptr, nullptr, 0);
            if (PQresultStatus(res) != PGRES_COMMAND_OK)
                state.SkipWithError(PQresultErrorMessage(res));
            PQclear(res);
        });
        at1m += millisecondsOf([&] { large.add(); });
    }
    PQfinish(conn);
    const double n = static_cast<double>(state.iterations());
    state.counters["incremental"] = large.readOnlyAddedRows();
    reportValue("payment_postgres_insert_ms", floor / n);
    reportValue("payment_postgres_1m_ms", at1m / n);
    reportValue("payment_postgres_reopen_1m_ms", large.reopenMs() / n);
    reportValue("payment_1m_vs_insert_postgres", at1m / floor);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("payment/sqlite", sqlitePayments)
        ->Iterations(200)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("payment/postgres", postgresPayments)
        ->Iterations(1000)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
