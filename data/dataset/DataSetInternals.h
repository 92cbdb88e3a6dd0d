#pragma once
// State a data set keeps beside its held rows: the pending row and what an
// insert, update or delete writes to.
#include "data/values/Variant.h"

#include <cstdint>
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

} // namespace zemt::data
