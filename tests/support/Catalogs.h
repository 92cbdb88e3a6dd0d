#pragma once
// Fixtures that make a real ZEMT catalog for a test, on either database.
#include <string>

namespace testsupport {

/// Text of a file below the source tree (e.g. "db/sqlite/schema.sql").
std::string readSourceFile(const std::string& relativePath);

/// A fresh SQLite catalog file in a temporary folder, with the schema and,
/// when withDemoData, the demo rows. The folder is removed at process exit.
std::string makeTempSqliteCatalog(bool withDemoData = true);

/// "Provider=SQLite;Data Source=<path>" for a catalog file.
std::string sqliteConnectionString(const std::string& path);

/// The test cluster's libpq conninfo, or empty when the tests run without it.
std::string testPgConninfo();

/// The connection string the program uses for the test cluster.
std::string postgresConnectionString();

/// Drops everything in the test cluster's ZEMT database and loads the schema
/// and, when withDemoData, the demo rows. Throws std::runtime_error on failure.
void resetPostgresCatalog(bool withDemoData = true);

/// Stops the test cluster's server, keeping its data, and starts it again:
/// what a server restart looks like to the program.
void haltPostgres();
void resumePostgres();

/// Runs SQL text on a catalog directly, bypassing the program's data layer.
void execSqlite(const std::string& path, const std::string& sql);
void execPostgres(const std::string& sql);

/// First column of the first row of a query, as text ("" for null or no row).
std::string queryScalarSqlite(const std::string& path, const std::string& sql);
std::string queryScalarPostgres(const std::string& sql);

} // namespace testsupport
