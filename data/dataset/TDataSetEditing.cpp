// The pending row: insert, edit, post, cancel, delete, settling.
#include "data/dataset/TDataSet.h"

#include "data/connection/Provider.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/DataSetInternals.h"
#include "data/rows/RowIndex.h"
#include "data/rows/RowStore.h"
#include "data/values/ErrorText.h"
#include "data/values/Exceptions.h"

#include <algorithm>

using namespace zemt::data;

namespace {

const char* const kRowNotFound =
    "Row cannot be located for updating. Some values may have been changed since it was last read";

bool editing(TDataSetState state) {
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}

} // namespace

bool TDataSet::CanModify() const {
    return Active() && target_->modifiable;
}

UpdateTarget& TDataSet::updateTarget() const {
    return *target_;
}

void TDataSet::UpdateRecord() {
    if (editing(state_))
        DataEvent(TDataEvent::deUpdateRecord);
}

void TDataSet::CheckBrowseMode() {
    checkActive();
    DataEvent(TDataEvent::deCheckBrowseMode);
    if (!editing(state_))
        return;
    UpdateRecord();
    if (modified_)
        Post();
    else
        Cancel();
}

void TDataSet::Insert() {
    startInsert(false);
}

void TDataSet::Append() {
    startInsert(true);
}

void TDataSet::startInsert(bool atEnd) {
    checkActive();
    CheckBrowseMode();
    if (!CanModify())
        throwLayerError(name_, "Cannot modify a read-only dataset");
    auto pending = std::make_unique<PendingRow>();
    pending->inserting = true;
    pending->position = atEnd ? RecordCount() : std::max(currentRow_, 0);
    pending->values.assign(static_cast<size_t>(rows_->columnCount()), Variant());
    pending->assigned.assign(static_cast<size_t>(rows_->columnCount()), false);
    pending->bof = bof_;
    pending->eof = eof_;
    pending_ = std::move(pending);
    currentRow_ = pending_->position;
    bof_ = false;
    eof_ = atEnd;
    state_ = TDataSetState::dsInsert;
    newRecordStarted();
    modified_ = false;
    DataEvent(TDataEvent::deUpdateState);
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Edit() {
    checkActive();
    if (editing(state_))
        return;
    if (!CanModify())
        throwLayerError(name_, "Cannot modify a read-only dataset");
    if (IsEmpty()) {
        Insert();
        return;
    }
    auto pending = std::make_unique<PendingRow>();
    pending->row = physicalRow(currentRow_);
    for (int c = 0; c < rows_->columnCount(); ++c)
        pending->values.push_back(rows_->get(pending->row, c));
    pending->assigned.assign(static_cast<size_t>(rows_->columnCount()), false);
    pending_ = std::move(pending);
    modified_ = false;
    setState(TDataSetState::dsEdit);
    DataEvent(TDataEvent::deRecordChange);
}

void TDataSet::assignFieldValue(TField& field, const Variant& value) {
    if (!editing(state_) || !pending_)
        throwLayerError(name_, "Dataset not in edit or insert mode");
    if (field.ReadOnly())
        throwLayerError(name_, fillIn("Field '%s' cannot be modified", field.FieldName()));
    const int column = field.columnIndex();
    pending_->values[column] = value;
    pending_->assigned[column] = true;
    modified_ = true;
    DataEvent(TDataEvent::deFieldChange, {.field = &field});
}

void TDataSet::Cancel() {
    if (!Active() || !editing(state_))
        return;
    const bool inserting = pending_ && pending_->inserting;
    if (inserting) {
        const int n = RecordCount();
        currentRow_ = n == 0 ? -1 : std::min(pending_->position, n - 1);
        bof_ = n == 0 || pending_->bof;
        eof_ = n == 0 || pending_->eof;
    }
    pending_.reset();
    modified_ = false;
    setState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Post() {
    checkActive();
    if (!editing(state_))
        return;
    UpdateRecord();
    if (pending_->inserting)
        postInsert();
    else
        postEdit();
    pending_.reset();
    modified_ = false;
    setState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::postInsert() {
    const UpdateTarget& target = *target_;
    Provider& provider = requireConnection().provider();
    std::string names, marks, returning;
    std::vector<Variant> params;
    for (size_t i = 0; i < target.columns.size(); ++i) {
        const int column = target.columns[i];
        const std::string quoted = provider.quoteName(target.names[i]);
        returning += (returning.empty() ? "" : ", ") + quoted;
        if (!pending_->assigned[column])
            continue;
        names += (names.empty() ? "" : ", ") + quoted;
        marks += marks.empty() ? "?" : ", ?";
        params.push_back(pending_->values[column]);
    }
    std::string sql = "INSERT INTO " + provider.quoteName(target.table);
    sql += params.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + marks + ")";
    sql += " RETURNING " + returning;
    QueryResult saved;
    provider.query(sql, params, saved);

    // The database's own row (keys and defaults it supplied) becomes the held row.
    heldRowsChanged();
    const std::uint32_t row = rows_->appendRow();
    for (int c = 0; c < rows_->columnCount(); ++c)
        rows_->set(row, c, pending_->values[c]);
    if (saved.rows.rowCount() == 1)
        for (size_t i = 0; i < target.columns.size(); ++i)
            rows_->set(row, target.columns[i], saved.rows.get(0, static_cast<int>(i)));

    const int position = pending_->position;
    if (restricted_) {
        // Keep the data set order: after the held row shown before it.
        if (position > 0) {
            const std::uint32_t before = visible_[static_cast<size_t>(position - 1)];
            order_.insert(std::find(order_.begin(), order_.end(), before) + 1, row);
        } else if (!visible_.empty()) {
            order_.insert(std::find(order_.begin(), order_.end(), visible_.front()), row);
        } else {
            order_.push_back(row);
        }
        visible_.insert(visible_.begin() + position, row);
    } else {
        order_.insert(order_.begin() + position, row);
    }
    index_.reset();
    currentRow_ = position;
}

void TDataSet::postEdit() {
    const UpdateTarget& target = *target_;
    const std::uint32_t row = pending_->row;
    std::string set;
    std::vector<Variant> params;
    Provider* provider = nullptr;
    // Optimistic locking: besides the key, each changed column must still hold
    // the value read, so that a change another workstation saved meanwhile is
    // refused instead of silently overwritten.
    std::string unchangedSince;
    std::vector<Variant> unchangedParams;
    for (size_t i = 0; i < target.columns.size(); ++i) {
        const int column = target.columns[i];
        const Variant original = rows_->get(row, column);
        if (!pending_->assigned[column] || pending_->values[column] == original)
            continue;
        if (!provider)
            provider = &requireConnection().provider();
        const std::string name = provider->quoteName(target.names[i]);
        set += (set.empty() ? "" : ", ") + name + " = ?";
        params.push_back(pending_->values[column]);
        if (original.isNull()) {
            unchangedSince += " AND " + name + " IS NULL";
        } else {
            unchangedSince += " AND " + name + " = ?";
            unchangedParams.push_back(original);
        }
    }
    if (!params.empty()) {
        std::vector<Variant> whereParams;
        std::string where = rowCondition(row, whereParams);
        if (!target.keyColumns.empty()) {
            where += unchangedSince;
            whereParams.insert(whereParams.end(), unchangedParams.begin(), unchangedParams.end());
        }
        const std::string table = provider->quoteName(target.table);
        std::string sql = "UPDATE " + table + " SET " + set + " WHERE " + where;
        params.insert(params.end(), whereParams.begin(), whereParams.end());
        if (target.keyColumns.empty()) {
            // Identified by all its values: only when exactly one row has them.
            sql += " AND (SELECT count(*) FROM " + table + " WHERE " + where + ") = 1";
            params.insert(params.end(), whereParams.begin(), whereParams.end());
        }
        if (provider->execute(sql, params) == 0)
            throwProviderError(kRowNotFound);
    }
    heldRowsChanged();
    for (int c = 0; c < rows_->columnCount(); ++c)
        if (pending_->assigned[c])
            rows_->set(row, c, pending_->values[c]);
    index_.reset();
}

std::string TDataSet::rowCondition(std::uint32_t row, std::vector<Variant>& params) const {
    const UpdateTarget& target = *target_;
    Provider& provider = requireConnection().provider();
    std::string where;
    auto addColumn = [&](int column, const std::string& name) {
        where += where.empty() ? "" : " AND ";
        const Variant value = rows_->get(row, column);
        if (value.isNull()) {
            where += provider.quoteName(name) + " IS NULL";
        } else {
            where += provider.quoteName(name) + " = ?";
            params.push_back(value);
        }
    };
    if (!target.keyColumns.empty()) {
        for (const int key : target.keyColumns) {
            const auto at = std::find(target.columns.begin(), target.columns.end(), key);
            addColumn(key, target.names[static_cast<size_t>(at - target.columns.begin())]);
        }
    } else {
        for (size_t i = 0; i < target.columns.size(); ++i)
            addColumn(target.columns[i], target.names[i]);
    }
    return where;
}

void TDataSet::Delete() {
    checkActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (IsEmpty())
        throwLayerError(name_, "Cannot perform this operation on an empty dataset");
    if (!CanModify())
        throwLayerError(name_, "Cannot modify a read-only dataset");
    DataEvent(TDataEvent::deCheckBrowseMode);
    if (state_ == TDataSetState::dsEdit) {
        pending_.reset();
        modified_ = false;
        setState(TDataSetState::dsBrowse);
    }
    const UpdateTarget& target = *target_;
    const std::uint32_t row = physicalRow(currentRow_);
    std::vector<Variant> params;
    const std::string where = rowCondition(row, params);
    Provider& provider = requireConnection().provider();
    const std::string table = provider.quoteName(target.table);
    std::string sql = "DELETE FROM " + table + " WHERE " + where;
    if (target.keyColumns.empty()) {
        sql += " AND (SELECT count(*) FROM " + table + " WHERE " + where + ") = 1";
        const auto copy = params;
        params.insert(params.end(), copy.begin(), copy.end());
    }
    if (provider.execute(sql, params) == 0)
        throwProviderError(kRowNotFound);

    heldRowsChanged();
    order_.erase(std::find(order_.begin(), order_.end(), row));
    if (restricted_)
        visible_.erase(visible_.begin() + currentRow_);
    index_.reset();
    const int n = RecordCount();
    currentRow_ = std::min(currentRow_, n - 1);
    bof_ = eof_ = n == 0;
    DataEvent(TDataEvent::deDataSetChange);
}
