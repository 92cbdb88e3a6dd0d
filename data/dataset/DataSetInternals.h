#pragma once
// State a data set keeps beside its held rows: the pending row and what an
// insert, update or delete writes to.
#include "data/connection/ChangeMark.h"
#include "data/connection/Provider.h"
#include "data/rows/RowIndex.h"
#include "data/rows/RowStore.h"
#include "data/values/Variant.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace zemt::data {

/// The row being edited or inserted, held until it is saved or dropped.
struct PendingRow {
    bool inserting = false;
    int position = 0;            ///< shown row of the new row (inserting)
    std::uint32_t row = 0;       ///< held row being edited (editing)
    std::vector<Variant> values; ///< per held-row column
    std::vector<bool> assigned;  ///< per held-row column: given a value
    bool bof = true, eof = true; ///< flags before the insert started
};

/// Where saved rows go: one base table and how its rows are identified.
struct UpdateTarget {
    bool modifiable = false;
    std::string table;
    std::vector<int> columns;       ///< held-row columns that come from the table
    std::vector<std::string> names; ///< their base column names (parallel)
    std::vector<int> keyColumns;    ///< held-row columns of the primary key; empty: all values
};

/// How the held rows of a table were read, so that they can be kept after
/// Close and brought up to date by the next Open.
struct ReadOrigin {
    ChangeMark mark;                 ///< where the table's change log stood
    std::vector<ColumnInfo> columns; ///< as the read described them
    std::string statement;           ///< the statement that read them
    const void* connection = nullptr;
    std::string connectionString;
    std::string sortedBy;         ///< index columns the held order is sorted by; empty: read order
    std::vector<int> sortColumns; ///< their columns, as added rows were sorted by them
    /// Rows added by reopens that the held order does not list yet: sorted
    /// like it, and already in the restriction index. While the data set
    /// shows only a restriction the order is not needed, so joining them
    /// (which moves every held row) waits until it is.
    std::vector<std::uint32_t> unplaced;
    std::int64_t maxKey = std::numeric_limits<std::int64_t>::min();
    bool pristine = true; ///< held rows and order are still exactly what the reads gave
};

/// The held rows of a closed table, kept for its next Open.
struct RetainedRows {
    ReadOrigin origin;
    std::unique_ptr<RowStore> rows;
    std::vector<std::uint32_t> order;
    std::unique_ptr<RowIndex> index;
};

} // namespace zemt::data
