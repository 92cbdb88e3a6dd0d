#include "data/module/Unit3.h"

#include "data/dataset/Teardown.h"
#include "data/module/Unit3Declaration.h"
#include "data/values/ErrorText.h"
#include "data/values/Names.h"

TDataModule3* DataModule3 = nullptr;

using namespace zemt::data;

TDataModule3::TDataModule3() {
    const ModuleDeclaration& decl = moduleDeclaration();
    connection_ = std::make_unique<TADOConnection>(decl.connection.name);
    connection_->setConnectionString(decl.connection.connectionString);
    connection_->setProvider(decl.connection.provider);
    connection_->setLoginPrompt(decl.connection.loginPrompt);
    ADOConnection1 = connection_.get();

    // Components are created, and their properties read, in declaration order.
    for (const ComponentDeclaration& c : decl.components) {
        declarationOrder_.push_back(c.name);
        if (c.kind == ComponentKind::DataSource) {
            auto source = std::make_unique<TDataSource>(c.name);
            dataSources_.push_back(std::move(source));
        } else if (c.kind == ComponentKind::Query) {
            auto query = std::make_unique<TADOQuery>(c.name);
            query->setConnection(connection_.get());
            query->setCursorType(c.cursorType);
            query->SQL().assignDeclared(c.sql);
            dataSets_.push_back(std::move(query));
        } else if (c.kind == ComponentKind::Table) {
            auto table = std::make_unique<TADOTable>(c.name);
            table->setConnection(connection_.get());
            table->setCursorType(c.cursorType);
            table->setTableName(c.tableName);
            table->setIndexFieldNames(c.indexFieldNames);
            table->setMasterFields(c.masterFields);
            dataSets_.push_back(std::move(table));
        }
    }
    // References between components are resolved once all exist.
    for (const ComponentDeclaration& c : decl.components) {
        if (c.kind == ComponentKind::DataSource)
            findDataSource(c.name)->setDataSet(findDataSet(c.dataSet));
        else if (c.kind == ComponentKind::Table && !c.masterSource.empty())
            static_cast<TADOTable*>(findDataSet(c.name))
                ->setMasterSource(findDataSource(c.masterSource));
    }

    auto set = [this](auto*& member, const char* name) {
        using T = std::remove_pointer_t<std::remove_reference_t<decltype(member)>>;
        if constexpr (std::is_same_v<T, TDataSource>)
            member = findDataSource(name);
        else
            member = static_cast<T*>(findDataSet(name));
    };
    set(DataSource1, "DataSource1");
    set(ADOTable2, "ADOTable2");
    set(DataSource2, "DataSource2");
    set(DataSource3, "DataSource3");
    set(ADOTable3, "ADOTable3");
    set(ADOQuery1, "ADOQuery1");
    set(DataSource4, "DataSource4");
    set(DataSource5, "DataSource5");
    set(ADOQuery2, "ADOQuery2");
    set(ADOQuery3, "ADOQuery3");
    set(ADOQuery4, "ADOQuery4");
    set(ADOQuery5, "ADOQuery5");
    set(DataSource6, "DataSource6");
    set(DataSource7, "DataSource7");
    set(ADOTable1, "ADOTable1");
    set(ADOQuery6, "ADOQuery6");

    if (!DataModule3)
        DataModule3 = this;
    if (DataModule3 == this)
        ModuleBindings::completePending();
}

TDataModule3::~TDataModule3() {
    // Open data sets are closed, dropping pending rows unsaved, also those of
    // details whose master closes first.
    const Teardown teardown;
    for (auto& set : dataSets_)
        set->Close();
    connection_->Close();
    if (DataModule3 == this)
        DataModule3 = nullptr;
}

TDataSource* TDataModule3::findDataSource(const std::string& name) const {
    for (const auto& source : dataSources_)
        if (sameName(source->Name(), name))
            return source.get();
    return nullptr;
}

TDataSet* TDataModule3::findDataSet(const std::string& name) const {
    for (const auto& set : dataSets_)
        if (sameName(set->Name(), name))
            return set.get();
    return nullptr;
}

std::vector<std::string> TDataModule3::componentNames() const {
    std::vector<std::string> names{ADOConnection1->Name()};
    names.insert(names.end(), declarationOrder_.begin(), declarationOrder_.end());
    return names;
}
