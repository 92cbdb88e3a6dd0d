#include "data/dataset/TADOTable.h"

#include "data/dataset/TDataLink.h"
#include "data/dataset/TDataSource.h"
#include "data/dataset/Teardown.h"
#include "data/rows/Restriction.h"
#include "data/values/ErrorText.h"
#include "data/values/Exceptions.h"
#include "data/values/Names.h"

using namespace zemt::data;

namespace zemt::data {

/// Follows the master data source on behalf of a detail table.
class MasterLink : public TDataLink {
public:
    explicit MasterLink(TADOTable& detail) : detail_(detail) {}

protected:
    void activeChanged() override {
        if (Active())
            detail_.masterChanged(true);
        else
            detail_.masterClosed();
    }
    void dataSetChanged() override { detail_.masterChanged(false); }
    void dataSetScrolled(int) override { detail_.masterChanged(false); }
    void layoutChanged() override { detail_.masterChanged(false); }
    void recordChanged(TField* field) override {
        if (!field) {
            detail_.masterChanged(false);
            return;
        }
        for (const std::string& name : splitNames(detail_.MasterFields()))
            if (sameName(name, field->FieldName())) {
                detail_.masterChanged(false);
                return;
            }
    }

private:
    TADOTable& detail_;
};

} // namespace zemt::data

TADOTable::TADOTable(std::string name)
    : TDataSet(std::move(name)), masterLink_(std::make_unique<MasterLink>(*this)) {}

TADOTable::~TADOTable() {
    // Closed before the master link goes, which would otherwise settle the row.
    closeForDestruction();
    masterLink_->setDataSource(nullptr);
}

void TADOTable::setTableName(const std::string& name) {
    if (name == tableName_)
        return;
    checkInactive();
    tableName_ = name;
}

TDataSource* TADOTable::MasterSource() const {
    return masterLink_->DataSource();
}

void TADOTable::setMasterSource(TDataSource* source) {
    if (source == MasterSource())
        return;
    restriction_.clear();
    if (Active() && !source && isDetail()) {
        masterLink_->setDataSource(nullptr);
        masterClosed();
        return;
    }
    masterLink_->setDataSource(source);
}

void TADOTable::setMasterFields(const std::string& names) {
    if (names == masterFields_)
        return;
    masterFields_ = names;
    restriction_.clear();
    if (Active() && masterLink_->Active())
        masterChanged(true);
}

void TADOTable::setIndexFieldNames(const std::string& names) {
    if (names == indexFieldNames_)
        return;
    indexFieldNames_ = names;
    if (Active()) {
        CheckBrowseMode();
        sortHeldRows(indexFieldNames_);
        reapplyVisibleRows();
    }
}

bool TADOTable::isDetail() const {
    return MasterSource() && !splitNames(masterFields_).empty();
}

std::string TADOTable::selectText() const {
    return "select * from " + tableName_;
}

std::string TADOTable::loggedTable() const {
    return tableName_;
}

void TADOTable::checkCanOpen() const {
    if (tableName_.empty())
        throwLayerError(Name(), fillIn("Missing %s property", "TableName"));
}

std::vector<TADOTable::LinkPair> TADOTable::linkPairs() const {
    const auto masters = splitNames(masterFields_);
    const auto indexes = splitNames(indexFieldNames_);
    std::vector<LinkPair> pairs;
    for (size_t i = 0; i < masters.size(); ++i) {
        const std::string detailName = i < indexes.size() ? indexes[i] : masters[i];
        const TField* field = FieldByName(detailName);
        pairs.push_back({masters[i], field->columnIndex(), field->FieldName()});
    }
    return pairs;
}

void TADOTable::afterRowsRead() {
    restriction_.clear();
    sortHeldRows(indexFieldNames_);
    if (isDetail() && masterLink_->Active())
        applyMasterRestriction();
}

void TADOTable::beforeClose() {
    restriction_.clear();
}

bool TADOTable::applyMasterRestriction() {
    TDataSet* master = masterLink_->DataSet();
    std::vector<RestrictionTerm> terms;
    std::vector<int> columns;
    std::vector<Variant> values;
    for (const LinkPair& pair : linkPairs()) {
        const TField* masterField = master->FieldByName(pair.masterColumn);
        const TField* detailField = FindField(pair.detailName);
        // No current row on the master compares with Null.
        const Variant value = master->IsEmpty() ? Variant() : masterField->Value();
        terms.push_back({pair.detailName, detailField->DataType(), value, masterField->DataType()});
        columns.push_back(pair.detailColumn);
        values.push_back(value);
    }
    const std::string text = buildRestriction(terms);
    if (text == restriction_)
        return false;
    restriction_ = text;
    restrictRows(columns, values);
    return true;
}

void TADOTable::masterChanged(bool force) {
    if (!Active() || !isDetail() || !masterLink_->Active())
        return;
    CheckBrowseMode();
    if (force)
        restriction_.clear();
    if (applyMasterRestriction())
        reapplyVisibleRows();
}

void TADOTable::masterClosed() {
    if (!Active()) {
        restriction_.clear();
        return;
    }
    if (Teardown::underWay())
        Cancel();
    else
        CheckBrowseMode();
    restriction_.clear();
    clearRestriction();
    reapplyVisibleRows();
}

void TADOTable::newRecordStarted() {
    // A new detail row belongs to the master's current row.
    if (!isDetail() || !masterLink_->Active())
        return;
    TDataSet* master = masterLink_->DataSet();
    if (master->IsEmpty())
        return;
    for (const LinkPair& pair : linkPairs()) {
        TField* detailField = Fields(0);
        for (int i = 0; i < FieldCount(); ++i)
            if (Fields(i)->columnIndex() == pair.detailColumn)
                detailField = Fields(i);
        if (!detailField->ReadOnly())
            detailField->setValue(master->FieldByName(pair.masterColumn)->Value());
    }
}
