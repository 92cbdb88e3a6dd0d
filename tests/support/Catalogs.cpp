#include "tests/support/Catalogs.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace testsupport {
namespace {

std::vector<fs::path>& tempFolders() {
    static std::vector<fs::path> folders;
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit([] {
            std::error_code ignored;
            for (const auto& f : tempFolders())
                fs::remove_all(f, ignored);
        });
    }
    return folders;
}

fs::path makeTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "zemt-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    tempFolders().push_back(pattern);
    return pattern;
}

struct PgConnection {
    PGconn* conn;
    explicit PgConnection(const std::string& conninfo) : conn(PQconnectdb(conninfo.c_str())) {
        if (PQstatus(conn) != CONNECTION_OK) {
            std::string msg = PQerrorMessage(conn);
            PQfinish(conn);
            throw std::runtime_error("test cluster: " + msg);
        }
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
    }
    ~PgConnection() { PQfinish(conn); }
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
};

void checkPg(PGresult* res, PGconn* conn) {
    const auto status = PQresultStatus(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        std::string msg = PQerrorMessage(conn);
        PQclear(res);
        throw std::runtime_error(msg);
    }
}

std::string requirePgConninfo() {
    std::string conninfo = testPgConninfo();
    if (conninfo.empty())
        throw std::runtime_error(
            "ZEMT_TEST_PG is not set: the PostgreSQL test cluster is not running");
    return conninfo;
}

} // namespace

std::string readSourceFile(const std::string& relativePath) {
    const char* root = std::getenv("ZEMT_SOURCE_DIR");
    fs::path path = fs::path(root && *root ? root : ZEMT_SOURCE_DIR) / relativePath;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void execSqlite(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error(msg);
    }
    char* error = nullptr;
    sqlite3_exec(db, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string msg = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error(msg);
}

std::string queryScalarSqlite(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    std::string value;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error(msg);
    }
    if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
        value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

std::string makeTempSqliteCatalog(bool withDemoData) {
    const fs::path path = makeTempFolder() / "ZEMT.sqlite";
    std::string sql = readSourceFile("db/sqlite/schema.sql");
    if (withDemoData)
        sql += readSourceFile("db/demo/data.sql");
    execSqlite(path.string(), sql);
    return path.string();
}

std::string sqliteConnectionString(const std::string& path) {
    return "Provider=SQLite;Data Source=" + path;
}

std::string testPgConninfo() {
    const char* conninfo = std::getenv("ZEMT_TEST_PG");
    return conninfo ? conninfo : "";
}

std::string postgresConnectionString() {
    // conninfo "host=H port=P dbname=ZEMT" -> the program's connection-string form.
    std::istringstream words(requirePgConninfo());
    std::string word, host, port;
    while (words >> word) {
        if (word.rfind("host=", 0) == 0)
            host = word.substr(5);
        else if (word.rfind("port=", 0) == 0)
            port = word.substr(5);
    }
    std::string s = "Provider=PostgreSQL;Integrated Security=SSPI;Persist Security Info=False;"
                    "Initial Catalog=ZEMT;Data Source=" +
                    host;
    if (!port.empty())
        s += ";Port=" + port;
    return s;
}

void execPostgres(const std::string& sql) {
    PgConnection pg(requirePgConninfo());
    PGresult* res = PQexec(pg.conn, sql.c_str());
    checkPg(res, pg.conn);
    PQclear(res);
}

std::string queryScalarPostgres(const std::string& sql) {
    PgConnection pg(requirePgConninfo());
    PGresult* res = PQexec(pg.conn, sql.c_str());
    checkPg(res, pg.conn);
    std::string value;
    if (PQntuples(res) > 0 && !PQgetisnull(res, 0, 0))
        value = PQgetvalue(res, 0, 0);
    PQclear(res);
    return value;
}

namespace {

void runClusterScript(const char* action) {
    std::istringstream words(requirePgConninfo());
    std::string word, host = "/tmp/zemt-pgtest", port = "54329";
    while (words >> word) {
        if (word.rfind("host=", 0) == 0)
            host = word.substr(5);
        else if (word.rfind("port=", 0) == 0)
            port = word.substr(5);
    }
    const char* root = std::getenv("ZEMT_SOURCE_DIR");
    const std::string script =
        std::string(root && *root ? root : ZEMT_SOURCE_DIR) + "/tools/pg-test-cluster";
    const std::string command = "bash '" + script + "' " + action + " '" + host + "' " + port;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("pg-test-cluster " + std::string(action) + " failed");
}

} // namespace

void haltPostgres() {
    runClusterScript("halt");
}
void resumePostgres() {
    runClusterScript("resume");
}

void resetPostgresCatalog(bool withDemoData) {
    std::string sql = "DROP SCHEMA public CASCADE; CREATE SCHEMA public;\n" +
                      readSourceFile("db/postgres/schema.sql");
    if (withDemoData)
        sql += readSourceFile("db/demo/data.sql");
    execPostgres(sql);
}

} // namespace testsupport
