// Lifecycle, fields and notices of a data set.
#include "data/dataset/TDataSet.h"

#include "data/connection/Provider.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/DataSetInternals.h"
#include "data/dataset/TDataSource.h"
#include "data/dataset/Teardown.h"
#include "data/rows/RowIndex.h"
#include "data/values/ErrorText.h"
#include "data/values/Exceptions.h"
#include "data/values/Names.h"

#include <algorithm>
#include <unordered_map>

using namespace zemt::data;

TDataSet::TDataSet(std::string name)
    : name_(std::move(name)), rows_(std::make_unique<RowStore>()),
      target_(std::make_unique<UpdateTarget>()) {}

TDataSet::~TDataSet() {
    const Teardown teardown;
    closeForDestruction();
    const auto sources = dataSources_;
    for (TDataSource* source : sources)
        source->detachDataSet();
}

void TDataSet::setConnection(TADOConnection* connection) {
    if (connection != connection_)
        checkInactive();
    connection_ = connection;
}

std::string TDataSet::prefixed(const std::string& message) const {
    return name_.empty() ? message : name_ + ": " + message;
}

void TDataSet::checkActive() const {
    if (!Active())
        throwLayerError(name_, "Cannot perform this operation on a closed dataset");
}

void TDataSet::checkInactive() const {
    if (Active())
        throwLayerError(name_, "Cannot perform this operation on an open dataset");
}

TADOConnection& TDataSet::requireConnection() const {
    if (!connection_)
        throwLayerError(name_, "Missing Connection or ConnectionString");
    return *connection_;
}

// ---- open and close ------------------------------------------------------

void TDataSet::Open() {
    if (Active())
        return;
    checkCanOpen();
    try {
        addedRowsOnly_ = reopenWithAddedRows();
        if (!addedRowsOnly_)
            readRows();
        afterRowsRead();
        if (!restricted_)
            placeAddedRows();
    } catch (...) {
        // Closed means no fields and no rows, also when reading got halfway.
        dropRows();
        throw;
    }
    const bool empty = visibleRows().empty();
    currentRow_ = empty ? -1 : 0;
    bof_ = true;
    eof_ = empty;
    setState(TDataSetState::dsBrowse);
}

void TDataSet::readRows() {
    TADOConnection& connection = requireConnection();
    Provider& provider = connection.provider();
    QueryResult result;
    result.expected.rows = lastRowCount_;
    result.expected.textBytes = lastTextBytes_;
    const std::string table = loggedTable();
    ChangeMark mark;
    const bool read = table.empty() ? provider.query(selectText(), selectParameters(), result)
                                    : provider.queryTable(selectText(), table, result, mark);
    if (!read)
        throwLayerError(name_, "CommandText does not return a result set");
    *rows_ = std::move(result.rows);
    auto used = rows_->used();
    lastRowCount_ = used.rows;
    lastTextBytes_ = std::move(used.textBytes);
    order_.resize(rows_->rowCount());
    for (std::uint32_t i = 0; i < rows_->rowCount(); ++i)
        order_[i] = i;
    visible_.clear();
    restricted_ = false;
    restrictionOn_ = false;
    index_.reset();
    origin_.reset();
    if (!table.empty()) {
        origin_ = std::make_unique<ReadOrigin>();
        origin_->mark = std::move(mark);
        origin_->columns = result.columns;
        origin_->statement = selectText();
        origin_->connection = &connection;
        origin_->connectionString = connection.ConnectionString();
        if (origin_->mark.valid) {
            for (std::uint32_t r = 0; r < rows_->rowCount(); ++r)
                origin_->maxKey =
                    std::max(origin_->maxKey, rows_->intAt(r, origin_->mark.keyColumn));
            // Room for the rows later reopens add, so that the first of them
            // does not copy every held row.
            std::size_t textBytes = 0;
            for (const std::size_t bytes : lastTextBytes_)
                textBytes += bytes;
            rows_->makeRoom(rows_->rowCount() / 32 + 16, textBytes / 32);
            order_.reserve(order_.size() + order_.size() / 16 + 16);
        }
    }
    adoptColumns(provider, result.columns);
}

void TDataSet::adoptColumns(Provider& provider, const std::vector<ColumnInfo>& columns) {
    fieldsReplaced();
    fields_.clear();
    *target_ = UpdateTarget();

    // One base table for every column that has one, and a way to find its rows.
    std::string table;
    bool oneTable = true;
    for (const auto& column : columns) {
        if (column.baseTable.empty())
            continue;
        if (table.empty())
            table = column.baseTable;
        else if (!sameName(table, column.baseTable))
            oneTable = false;
    }
    if (!table.empty() && oneTable) {
        target_->modifiable = true;
        target_->table = table;
        for (int c = 0; c < static_cast<int>(columns.size()); ++c)
            if (!columns[c].baseTable.empty()) {
                target_->columns.push_back(c);
                target_->names.push_back(columns[c].baseColumn);
            }
        for (const std::string& key : provider.primaryKey(table)) {
            int found = -1;
            for (size_t i = 0; i < target_->names.size() && found < 0; ++i)
                if (sameName(target_->names[i], key))
                    found = target_->columns[i];
            if (found < 0) {
                target_->keyColumns.clear();
                break;
            }
            target_->keyColumns.push_back(found);
        }
    }
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const ColumnInfo& info = columns[c];
        const bool readOnly = info.baseTable.empty() || !target_->modifiable;
        auto field = std::make_unique<TField>(this, info.name, info.type, info.size, readOnly);
        field->setOrigin(info.baseTable, info.baseColumn);
        field->setColumnIndex(c);
        fields_.push_back(std::move(field));
    }
}

void TDataSet::Close() {
    if (!Active())
        return;
    beforeClose();
    pending_.reset();
    modified_ = false;
    state_ = TDataSetState::dsInactive;
    retainRows();
    dropRows();
    DataEvent(TDataEvent::deUpdateState);
}

void TDataSet::closeForDestruction() {
    // No notices: the derived parts may be gone already.
    disableCount_ = 1;
    pending_.reset();
    modified_ = false;
    state_ = TDataSetState::dsInactive;
    dropRows();
    disableCount_ = 0;
}

void TDataSet::dropRows() {
    fieldsReplaced();
    fields_.clear();
    rows_->reset({});
    order_.clear();
    order_.shrink_to_fit();
    visible_.clear();
    visible_.shrink_to_fit();
    restricted_ = false;
    restrictionOn_ = false;
    index_.reset();
    origin_.reset();
    *target_ = UpdateTarget();
    currentRow_ = -1;
    bof_ = eof_ = true;
}

void TDataSet::setState(TDataSetState state) {
    state_ = state;
    DataEvent(TDataEvent::deUpdateState);
}

// ---- fields --------------------------------------------------------------

TField* TDataSet::FindField(const std::string& name) const {
    for (const auto& field : fields_)
        if (sameName(field->FieldName(), name))
            return field.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& name) const {
    TField* field = FindField(name);
    if (!field)
        throwLayerError(name_, fillIn("Field '%s' not found", name));
    return field;
}

int TDataSet::columnOf(const std::string& name) const {
    const TField* field = FindField(name);
    return field ? field->columnIndex() : -1;
}

void TDataSet::moveField(TField* field, int newIndex) {
    const int from = field->Index();
    if (from < 0)
        return;
    newIndex = std::clamp(newIndex, 0, FieldCount() - 1);
    if (newIndex == from)
        return;
    auto owned = std::move(fields_[from]);
    fields_.erase(fields_.begin() + from);
    fields_.insert(fields_.begin() + newIndex, std::move(owned));
    DataEvent(TDataEvent::deLayoutChange);
}

// ---- notices -------------------------------------------------------------

void TDataSet::DataEvent(TDataEvent event, const TDataEventInfo& info) {
    if (disableCount_ > 0) {
        if (event == TDataEvent::deLayoutChange)
            layoutChangedWhileDisabled_ = true;
        return;
    }
    const auto sources = dataSources_;
    for (TDataSource* source : sources)
        if (std::find(dataSources_.begin(), dataSources_.end(), source) != dataSources_.end())
            source->dataEvent(event, info);
}

void TDataSet::fieldsReplaced() {
    // Controls that were not told hold the old fields: they must re-lay out.
    if (disableCount_ > 0)
        layoutChangedWhileDisabled_ = true;
}

void TDataSet::DisableControls() {
    if (disableCount_++ == 0) {
        disabledState_ = state_;
        layoutChangedWhileDisabled_ = false;
    }
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0 || --disableCount_ > 0)
        return;
    const bool wasOpen = disabledState_ != TDataSetState::dsInactive;
    if (state_ != disabledState_)
        DataEvent(TDataEvent::deUpdateState);
    if (wasOpen && Active())
        DataEvent(layoutChangedWhileDisabled_ ? TDataEvent::deLayoutChange
                                              : TDataEvent::deDataSetChange);
}

void TDataSet::addDataSource(TDataSource* source) {
    dataSources_.push_back(source);
}

void TDataSet::removeDataSource(TDataSource* source) {
    dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), source),
                       dataSources_.end());
}

// ---- refresh -------------------------------------------------------------

void TDataSet::Refresh() {
    checkActive();
    // Rows are found again by their key. Without one a held row cannot be told
    // from another (by position it would take some other row's values), so the
    // refresh is refused before it settles or reads anything.
    if (target_->keyColumns.empty())
        throwLayerError(name_, "Cannot refresh rows that have no primary key");
    CheckBrowseMode();
    refreshHeldRows();
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::refreshHeldRows() {
    // Rows are matched by primary key; rows no longer in the database keep
    // the values they had.
    heldRowsChanged();
    QueryResult fresh;
    if (!requireConnection().provider().query(selectText(), selectParameters(), fresh))
        return;
    if (fresh.rows.columnCount() != rows_->columnCount())
        return;
    const std::vector<int>& keys = target_->keyColumns;
    auto freshHash = [&](std::uint32_t row) {
        std::uint64_t h = 0;
        for (int c : keys)
            h = h * 0x100000001b3ULL ^
                fresh.rows.hashValue(c,
                                     RowStore::convert(fresh.rows.get(row, c), fresh.rows.kind(c)));
        return h;
    };
    std::unordered_multimap<std::uint64_t, std::uint32_t> byKey;
    for (std::uint32_t r = 0; r < fresh.rows.rowCount(); ++r)
        byKey.emplace(freshHash(r), r);
    for (const std::uint32_t row : order_) {
        std::vector<Variant> key;
        std::uint64_t h = 0;
        for (int c : keys) {
            key.push_back(RowStore::convert(rows_->get(row, c), fresh.rows.kind(c)));
            h = h * 0x100000001b3ULL ^ fresh.rows.hashValue(c, key.back());
        }
        auto [begin, end] = byKey.equal_range(h);
        for (auto it = begin; it != end; ++it) {
            bool same = true;
            for (size_t i = 0; i < keys.size() && same; ++i)
                same = fresh.rows.equals(it->second, keys[i], key[i]);
            if (!same)
                continue;
            for (int c = 0; c < rows_->columnCount(); ++c)
                rows_->set(row, c, fresh.rows.get(it->second, c));
            break;
        }
    }
    index_.reset();
}
