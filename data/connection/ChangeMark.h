#pragma once
// Where a table's change log stood when the table was read, so that a later
// read can take only the rows added since.
#include <string>

namespace zemt::data {

/// Filled by a provider when it reads a whole table; opaque to everyone else.
struct ChangeMark {
    /// The table keeps a log the provider trusts, and the mark says where it stood.
    bool valid = false;
    /// Result column holding the key the log names (a single whole-number key).
    int keyColumn = -1;
    /// That column's name in its table.
    std::string keyName;
    /// A full read returns the rows in ascending key order (SQLite's rowid
    /// order), so rows added later can join the held ones only above the
    /// largest key held; otherwise they come after the held rows.
    bool keyOrder = false;
    /// How far the log had been read: the last entry (SQLite) or the
    /// snapshot of the read (PostgreSQL).
    std::string position;
    /// What must be the same at the next read for the log to be trusted:
    /// schema version and change counter, or the log triggers' identity.
    std::string guard;
};

} // namespace zemt::data
