#pragma once
// A table data set: reads a whole table, may be sorted by index columns and
// may follow a master data source as a detail.
#include "data/dataset/TDataSet.h"

#include <memory>
#include <string>
#include <vector>

class TDataSource;
namespace zemt::data {
class MasterLink;
}

/// A data set over a whole table; with MasterSource and MasterFields it is a
/// detail that holds only the rows matching its master's current row.
class TADOTable : public TDataSet {
public:
    explicit TADOTable(std::string name = {});
    ~TADOTable() override;

    const std::string& TableName() const { return tableName_; }
    /// Fails on an open table ("Cannot perform this operation on an open dataset").
    void setTableName(const std::string& name);

    /// Master data source; nullptr for a table that follows nothing.
    TDataSource* MasterSource() const;
    void setMasterSource(TDataSource* source);
    /// Master column names separated by ';'.
    const std::string& MasterFields() const { return masterFields_; }
    void setMasterFields(const std::string& names);
    /// Sort and detail link columns separated by ';'.
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void setIndexFieldNames(const std::string& names);

    /// A master source and master columns are set.
    bool isDetail() const;
    /// The restriction text in force, e.g. "(Id_zach=20571)"; empty when none.
    const std::string& restriction() const { return restriction_; }

protected:
    std::string selectText() const override;
    std::string loggedTable() const override;
    void checkCanOpen() const override;
    void afterRowsRead() override;
    void beforeClose() override;
    void newRecordStarted() override;
    bool refusesFilter() const override { return isDetail(); }

private:
    friend class zemt::data::MasterLink;
    void masterChanged(bool force);
    void masterClosed();
    bool applyMasterRestriction();
    struct LinkPair {
        std::string masterColumn;
        int detailColumn;
        std::string detailName;
    };
    std::vector<LinkPair> linkPairs() const;

    std::string tableName_;
    std::string masterFields_;
    std::string indexFieldNames_;
    std::string restriction_;
    std::unique_ptr<zemt::data::MasterLink> masterLink_;
};
