// Moving through the held rows, reading them, restricting and filtering them.
#include "data/dataset/TDataSet.h"

#include "data/dataset/DataSetInternals.h"
#include "data/rows/Restriction.h"
#include "data/rows/RowIndex.h"
#include "data/rows/RowStore.h"
#include "data/values/ErrorText.h"
#include "data/values/Exceptions.h"
#include "data/values/Names.h"

#include <algorithm>

using namespace zemt::data;

// ---- rows as shown ---------------------------------------------------------

const std::vector<std::uint32_t>& TDataSet::visibleRows() const {
    return restricted_ ? visible_ : order_;
}

int TDataSet::RecordCount() const {
    return Active() ? static_cast<int>(visibleRows().size()) : 0;
}

int TDataSet::rowCount() const {
    if (!Active())
        return 0;
    return RecordCount() + (pending_ && pending_->inserting ? 1 : 0);
}

bool TDataSet::IsEmpty() const {
    return rowCount() == 0;
}

int TDataSet::RecNo() const {
    return Active() && currentRow_ >= 0 ? currentRow_ + 1 : 0;
}

void TDataSet::setRecNo(int recNo) {
    checkActive();
    CheckBrowseMode();
    const int n = rowCount();
    if (n == 0)
        return;
    MoveBy(std::clamp(recNo, 1, n) - 1 - currentRow_);
}

std::uint32_t TDataSet::physicalRow(int row) const {
    if (pending_ && pending_->inserting && row > pending_->position)
        --row;
    return visibleRows()[static_cast<size_t>(row)];
}

Variant TDataSet::heldValue(std::uint32_t row, int column) const {
    return rows_->get(row, column);
}

Variant TDataSet::rowValue(int row, int fieldIndex) const {
    if (!Active() || row < 0 || row >= rowCount() || fieldIndex < 0 || fieldIndex >= FieldCount())
        return Variant();
    const int column = fields_[fieldIndex]->columnIndex();
    if (pending_ && row == currentRow_)
        return pending_->values[column];
    return heldValue(physicalRow(row), column);
}

std::string TDataSet::rowDisplayText(int row, int fieldIndex) const {
    if (fieldIndex < 0 || fieldIndex >= FieldCount())
        return {};
    return formatDisplayText(fields_[fieldIndex]->DataType(), rowValue(row, fieldIndex));
}

Variant TDataSet::currentValue(const TField& field) const {
    if (!Active() || currentRow_ < 0)
        return Variant();
    if (pending_)
        return pending_->values[field.columnIndex()];
    return heldValue(physicalRow(currentRow_), field.columnIndex());
}

// ---- moving ----------------------------------------------------------------

void TDataSet::First() {
    checkActive();
    CheckBrowseMode();
    const int n = rowCount();
    currentRow_ = n > 0 ? 0 : -1;
    bof_ = true;
    eof_ = n == 0;
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Last() {
    checkActive();
    CheckBrowseMode();
    const int n = rowCount();
    currentRow_ = n - 1;
    eof_ = true;
    bof_ = n == 0;
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Next() {
    MoveBy(1);
}

void TDataSet::Prior() {
    MoveBy(-1);
}

int TDataSet::MoveBy(int distance) {
    checkActive();
    CheckBrowseMode();
    if (!((distance > 0 && !eof_) || (distance < 0 && !bof_)))
        return 0;
    bof_ = eof_ = false;
    const int n = rowCount();
    if (n == 0) {
        bof_ = eof_ = true;
        return 0;
    }
    long target = static_cast<long>(currentRow_) + distance;
    if (target >= n) {
        target = n - 1;
        eof_ = true;
    } else if (target < 0) {
        target = 0;
        bof_ = true;
    }
    const int moved = static_cast<int>(target) - currentRow_;
    currentRow_ = static_cast<int>(target);
    DataEvent(TDataEvent::deDataSetScroll, {.distance = moved});
    return moved;
}

// ---- bookmarks -------------------------------------------------------------

TBookmark TDataSet::GetBookmark() const {
    if (!Active() || currentRow_ < 0 || (pending_ && pending_->inserting))
        return TBookmark();
    return TBookmark(physicalRow(currentRow_));
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
    if (bookmark.empty() || !Active())
        return false;
    const auto& rows = visibleRows();
    return std::find(rows.begin(), rows.end(), bookmark.row_) != rows.end();
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (bookmark.empty())
        return;
    checkActive();
    CheckBrowseMode();
    const auto& rows = visibleRows();
    const auto it = std::find(rows.begin(), rows.end(), bookmark.row_);
    if (it == rows.end())
        throwLayerError(name_, "Record not found");
    currentRow_ = static_cast<int>(it - rows.begin());
    bof_ = eof_ = false;
    DataEvent(TDataEvent::deDataSetChange);
}

// ---- sorting, restriction, filter --------------------------------------------

void TDataSet::sortHeldRows(const std::string& columnNames) {
    std::vector<int> columns;
    for (const std::string& name : splitNames(columnNames)) {
        const int column = columnOf(name);
        if (column < 0)
            throwLayerError(name_, fillIn("Field '%s' not found", name));
        columns.push_back(column);
    }
    if (origin_) {
        // Held rows kept from an earlier read are in this order already.
        if (origin_->sortedBy == columnNames)
            return;
        placeAddedRows();
        origin_->sortedBy = columnNames;
        if (origin_->pristine) {
            // Ties in the order the rows were read, as a fresh read sorts them,
            // whatever order came before.
            std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
                for (int c : columns)
                    if (const int cmp = rows_->compare(a, b, c); cmp != 0)
                        return cmp < 0;
                return a < b;
            });
            index_.reset();
            return;
        }
    }
    if (columns.empty())
        return;
    std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (int c : columns) {
            const int cmp = rows_->compare(a, b, c);
            if (cmp != 0)
                return cmp < 0;
        }
        return false;
    });
    index_.reset();
}

void TDataSet::restrictRows(const std::vector<int>& columns, const std::vector<Variant>& values) {
    restrictColumns_ = columns;
    restrictValues_.clear();
    for (size_t i = 0; i < columns.size(); ++i)
        restrictValues_.push_back(RowStore::convert(values[i], rows_->kind(columns[i])));
    // A value that the link column's kind cannot hold matches no row at all.
    restrictNothing_ = false;
    for (size_t i = 0; i < columns.size(); ++i)
        restrictNothing_ |= restrictValues_[i].isNull() && !values[i].isNull();
    restrictionOn_ = true;
    rebuildView();
}

void TDataSet::clearRestriction() {
    restrictionOn_ = false;
    rebuildView();
}

void TDataSet::rebuildView() {
    const bool filterOn = filtered_ && !filter_.empty();
    if (!restrictionOn_ && !filterOn) {
        placeAddedRows();
        restricted_ = false;
        visible_.clear();
        return;
    }
    std::vector<std::uint32_t> rows;
    if (restrictionOn_) {
        if (!restrictNothing_) {
            if (!index_ || index_->columns() != restrictColumns_) {
                placeAddedRows();
                index_ = std::make_unique<RowIndex>(*rows_, order_, restrictColumns_);
            }
            rows = index_->lookup(restrictValues_);
        }
    } else {
        placeAddedRows();
        rows = order_;
    }
    if (filterOn)
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [&](std::uint32_t r) { return !rowPassesFilter(r); }),
                   rows.end());
    visible_ = std::move(rows);
    restricted_ = true;
}

void TDataSet::reapplyVisibleRows() {
    rebuildView();
    if (!Active())
        return;
    const int n = rowCount();
    currentRow_ = n > 0 ? 0 : -1;
    bof_ = true;
    eof_ = n == 0;
    DataEvent(TDataEvent::deDataSetChange);
}

bool TDataSet::rowPassesFilter(std::uint32_t row) const {
    const auto terms = parseRestriction(filter_);
    if (!terms)
        return true;
    for (const ParsedTerm& term : *terms) {
        const TField* field = FindField(term.column);
        if (!field)
            return false;
        const int column = field->columnIndex();
        if (!term.value) {
            if (!rows_->isNull(row, column))
                return false;
            continue;
        }
        if (rows_->isNull(row, column))
            return false;
        if (formatDisplayText(field->DataType(), rows_->get(row, column)) != *term.value &&
            RowStore::convert(Variant(*term.value), rows_->kind(column)) != rows_->get(row, column))
            return false;
    }
    return true;
}

void TDataSet::setFilter(const std::string& text) {
    if (text == filter_)
        return;
    if (refusesFilter() && !text.empty())
        throwLayerError(name_, "Filter property cannot be used for detail tables");
    if (!text.empty() && !parseRestriction(text))
        throwLayerError(name_, "Arguments are of the wrong type, are out of acceptable range, "
                               "or are in conflict with one another");
    filter_ = text;
    if (filtered_ && Active()) {
        CheckBrowseMode();
        reapplyVisibleRows();
    }
}

void TDataSet::setFiltered(bool filtered) {
    if (filtered == filtered_)
        return;
    filtered_ = filtered;
    if (Active() && !filter_.empty()) {
        CheckBrowseMode();
        reapplyVisibleRows();
    }
}
