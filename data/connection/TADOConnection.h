#pragma once
// The database connection: picks a provider from the connection string,
// connects on first need with no dialog, and stays connected.
#include <memory>
#include <string>

namespace zemt::data {
class Provider;
}

/// One connection to the catalog.
///
/// Connection strings keep the ADO form, "Key=Value" pairs separated by ';':
///   Provider=SQLite;Data Source=<catalog file>
///   Provider=PostgreSQL;Integrated Security=SSPI;Initial Catalog=ZEMT;Data Source=<host or socket
///   dir>
/// A failed connect leaves the connection disconnected; the next need tries
/// again. A connection the server dropped is noticed by the operation that
/// fails on it; the next operation connects afresh.
class TADOConnection {
public:
    explicit TADOConnection(std::string name = {});
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;
    ~TADOConnection();

    const std::string& Name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    const std::string& ConnectionString() const { return connectionString_; }
    /// Changing the string of a connected connection closes it first.
    void setConnectionString(const std::string& text);

    /// Provider name as declared (kept for the record; the string decides).
    const std::string& Provider() const { return providerName_; }
    void setProvider(std::string name) { providerName_ = std::move(name); }
    bool LoginPrompt() const { return loginPrompt_; }
    void setLoginPrompt(bool prompt) { loginPrompt_ = prompt; }
    bool KeepConnection() const { return keepConnection_; }
    void setKeepConnection(bool keep) { keepConnection_ = keep; }

    /// Connects if not connected; fails with the provider's error (EADOError).
    void Open();
    /// Disconnects.
    void Close();
    bool Connected() const;
    void setConnected(bool connected) { connected ? Open() : Close(); }

    /// The connected provider, connecting first if needed.
    zemt::data::Provider& provider();
    /// Number of successful connects so far (tests and diagnostics).
    int connectCount() const { return connectCount_; }

    /// Runs one statement that returns no rows.
    /// Returns the number of rows it changed.
    long long Execute(const std::string& statement);

private:
    std::string name_;
    std::string connectionString_;
    std::string providerName_;
    bool loginPrompt_ = true;
    bool keepConnection_ = true;
    int connectCount_ = 0;
    std::unique_ptr<zemt::data::Provider> provider_;
};
