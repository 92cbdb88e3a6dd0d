#pragma once
// The data module: the one connection, the nine data sets and the seven
// data sources, all declared as data (see Unit3Declaration.cpp).
#include "data/connection/TADOConnection.h"
#include "data/dataset/TADOQuery.h"
#include "data/dataset/TADOTable.h"
#include "data/dataset/TDataSource.h"
#include "data/module/ModuleBindings.h"

#include <memory>
#include <string>
#include <vector>

/// The data module. Creating it connects nothing and opens nothing; it then
/// completes the bindings that windows created before it asked for.
class TDataModule3 {
public:
    /// Builds the components from the declaration; sets DataModule3 to this
    /// module when it is not set yet, then completes pending bindings.
    TDataModule3();
    TDataModule3(const TDataModule3&) = delete;
    TDataModule3& operator=(const TDataModule3&) = delete;
    /// Closes every data set (dropping pending rows) and the connection.
    ~TDataModule3();

    const std::string& Name() const { return name_; }

    // Components in declaration order.
    TADOConnection* ADOConnection1 = nullptr;
    TDataSource* DataSource1 = nullptr;
    TADOTable* ADOTable2 = nullptr;
    TDataSource* DataSource2 = nullptr;
    TDataSource* DataSource3 = nullptr;
    TADOTable* ADOTable3 = nullptr;
    TADOQuery* ADOQuery1 = nullptr;
    TDataSource* DataSource4 = nullptr;
    TDataSource* DataSource5 = nullptr;
    TADOQuery* ADOQuery2 = nullptr;
    TADOQuery* ADOQuery3 = nullptr;
    TADOQuery* ADOQuery4 = nullptr;
    TADOQuery* ADOQuery5 = nullptr;
    TDataSource* DataSource6 = nullptr;
    TDataSource* DataSource7 = nullptr;
    TADOTable* ADOTable1 = nullptr;
    TADOQuery* ADOQuery6 = nullptr;

    /// Data source by name (without regard to case), or nullptr.
    TDataSource* findDataSource(const std::string& name) const;
    /// Data set by name (without regard to case), or nullptr.
    TDataSet* findDataSet(const std::string& name) const;
    /// Names of the components in declaration order.
    std::vector<std::string> componentNames() const;

private:
    std::string name_ = "DataModule3";
    std::unique_ptr<TADOConnection> connection_;
    std::vector<std::unique_ptr<TDataSet>> dataSets_;
    std::vector<std::unique_ptr<TDataSource>> dataSources_;
    std::vector<std::string> declarationOrder_;
};

/// The process-wide data module; nullptr before it is created.
extern TDataModule3* DataModule3;
