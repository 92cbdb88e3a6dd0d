// Held rows kept across Close and Open. A table whose catalog logs its
// changes keeps them when it closes; the next Open asks the provider what was
// added since and, when adding rows is all that happened, joins the added
// rows to the kept ones exactly where a fresh read would put them. Anything
// else (a change the log reports or cannot vouch for, rows changed through
// this data set, another statement or connection) means a full read.
#include "data/dataset/TDataSet.h"

#include "data/connection/Provider.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/DataSetInternals.h"
#include "data/values/Names.h"

#include <algorithm>

using namespace zemt::data;

namespace {

// Keys at or below the largest held key that a reopen checks one by one
// against the held rows before it prefers a full read.
constexpr int kMaxKeyScans = 8;

bool keyHeld(const RowStore& rows, int column, std::int64_t key) {
    for (std::uint32_t r = 0; r < rows.rowCount(); ++r)
        if (!rows.isNull(r, column) && rows.intAt(r, column) == key)
            return true;
    return false;
}

} // namespace

void TDataSet::dropRetainedRows() {
    retained_.reset();
}

void TDataSet::heldRowsChanged() {
    placeAddedRows();
    if (origin_)
        origin_->pristine = false;
}

void TDataSet::placeAddedRows() {
    if (!origin_ || origin_->unplaced.empty())
        return;
    const std::vector<int>& columns = origin_->sortColumns;
    const RowStore& rows = *rows_;
    const auto before = [&](std::uint32_t a, std::uint32_t b) {
        for (int c : columns)
            if (const int cmp = rows.compare(a, b, c); cmp != 0)
                return cmp < 0;
        return a < b;
    };
    const auto held = static_cast<std::ptrdiff_t>(order_.size());
    order_.insert(order_.end(), origin_->unplaced.begin(), origin_->unplaced.end());
    std::inplace_merge(order_.begin(), order_.begin() + held, order_.end(), before);
    origin_->unplaced.clear();
}

void TDataSet::retainRows() {
    retained_.reset();
    std::unique_ptr<ReadOrigin> origin = std::move(origin_);
    if (!origin || !origin->pristine || !origin->mark.valid)
        return;
    auto kept = std::make_unique<RetainedRows>();
    kept->origin = std::move(*origin);
    kept->rows = std::move(rows_);
    rows_ = std::make_unique<RowStore>();
    kept->order = std::move(order_);
    order_.clear();
    kept->index = std::move(index_);
    retained_ = std::move(kept);
}

bool TDataSet::reopenWithAddedRows() {
    std::unique_ptr<RetainedRows> kept = std::move(retained_);
    const std::string table = loggedTable();
    if (!kept || table.empty())
        return false;
    TADOConnection& connection = requireConnection();
    ReadOrigin& origin = kept->origin;
    if (origin.connection != &connection ||
        origin.connectionString != connection.ConnectionString() ||
        origin.statement != selectText())
        return false;
    Provider& provider = connection.provider();
    QueryResult added;
    if (!provider.queryAddedRows(origin.statement, table, origin.mark, added) ||
        !mergeAddedRows(*kept, added))
        return false;
    rows_ = std::move(kept->rows);
    order_ = std::move(kept->order);
    index_ = std::move(kept->index);
    visible_.clear();
    restricted_ = false;
    restrictionOn_ = false;
    origin_ = std::make_unique<ReadOrigin>(std::move(kept->origin));
    adoptColumns(provider, origin_->columns);
    return true;
}

bool TDataSet::mergeAddedRows(RetainedRows& kept, const QueryResult& added) {
    const std::uint32_t count = added.rows.rowCount();
    if (count == 0)
        return true;
    RowStore& rows = *kept.rows;
    ReadOrigin& origin = kept.origin;
    if (added.rows.columnCount() != rows.columnCount())
        return false;
    for (int c = 0; c < rows.columnCount(); ++c)
        if (added.rows.kind(c) != rows.kind(c) ||
            !sameName(added.columns[c].name, origin.columns[c].name))
            return false;

    // An added key must be new: one already held means a row was replaced
    // behind the log's back. Where a read returns rows in key order, added
    // rows can only join above the largest key held.
    const int key = origin.mark.keyColumn;
    int scans = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (added.rows.isNull(i, key))
            return false;
        const std::int64_t value = added.rows.intAt(i, key);
        if (i > 0 && value <= added.rows.intAt(i - 1, key))
            return false;
        if (value <= origin.maxKey &&
            (origin.mark.keyOrder || ++scans > kMaxKeyScans || keyHeld(rows, key, value)))
            return false;
    }
    std::vector<int> sortColumns;
    for (const std::string& name : splitNames(origin.sortedBy)) {
        auto it = std::find_if(origin.columns.begin(), origin.columns.end(),
                               [&](const ColumnInfo& c) { return sameName(c.name, name); });
        if (it == origin.columns.end())
            return false;
        sortColumns.push_back(static_cast<int>(it - origin.columns.begin()));
    }

    std::size_t textBytes = 0;
    for (std::uint32_t i = 0; i < count; ++i)
        for (int c = 0; c < rows.columnCount(); ++c)
            if (!added.rows.isNull(i, c) && added.rows.kind(c) == TFieldType::ftString)
                textBytes += added.rows.textAt(i, c).size();
    rows.makeRoom(count, textBytes);
    const std::uint32_t first = rows.rowCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        rows.appendCopy(added.rows, i);
        origin.maxKey = std::max(origin.maxKey, added.rows.intAt(i, key));
    }

    // The held order is the read order (the physical one) sorted by the
    // index columns; added rows were read last. They wait beside it.
    const auto before = [&](std::uint32_t a, std::uint32_t b) {
        for (int c : sortColumns)
            if (const int cmp = rows.compare(a, b, c); cmp != 0)
                return cmp < 0;
        return a < b;
    };
    auto& unplaced = origin.unplaced;
    const auto waiting = static_cast<std::ptrdiff_t>(unplaced.size());
    for (std::uint32_t r = first; r < first + count; ++r)
        unplaced.push_back(r);
    std::sort(unplaced.begin() + waiting, unplaced.end(), before);
    std::inplace_merge(unplaced.begin(), unplaced.begin() + waiting, unplaced.end(), before);
    origin.sortColumns = sortColumns;
    if (kept.index)
        for (std::uint32_t r = first; r < first + count; ++r)
            kept.index->insert(r, before);
    return true;
}
