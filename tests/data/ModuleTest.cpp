// The data module as declared: components, SQL text, links, bindings.
#include "data/module/Unit3.h"

#include <gtest/gtest.h>

namespace {

TEST(DataModule, ComponentsInDeclarationOrderNothingOpenNothingConnected) {
    TDataModule3 module;
    EXPECT_EQ(
        module.componentNames(),
        (std::vector<std::string>{"ADOConnection1", "DataSource1", "ADOTable2", "DataSource2",
                                  "DataSource3", "ADOTable3", "ADOQuery1", "DataSource4",
                                  "DataSource5", "ADOQuery2", "ADOQuery3", "ADOQuery4", "ADOQuery5",
                                  "DataSource6", "DataSource7", "ADOTable1", "ADOQuery6"}));
    EXPECT_FALSE(module.ADOConnection1->Connected());
    EXPECT_EQ(module.ADOConnection1->connectCount(), 0);
    EXPECT_FALSE(module.ADOConnection1->LoginPrompt());
    for (TDataSet* set :
         {static_cast<TDataSet*>(module.ADOQuery1), static_cast<TDataSet*>(module.ADOQuery6),
          static_cast<TDataSet*>(module.ADOTable1)})
        EXPECT_FALSE(set->Active());
    for (TADOQuery* q : {module.ADOQuery1, module.ADOQuery2, module.ADOQuery3, module.ADOQuery4,
                         module.ADOQuery5, module.ADOQuery6}) {
        EXPECT_EQ(q->Parameters().Count(), 0) << q->Name();
        EXPECT_EQ(q->Connection(), module.ADOConnection1);
    }
    EXPECT_EQ(module.ADOQuery3->CursorType(), TCursorType::ctKeyset);
    EXPECT_EQ(module.ADOQuery1->CursorType(), TCursorType::ctStatic);
}

TEST(DataModule, SqlTextLineByLine) {
    TDataModule3 module;
    using Lines = std::vector<std::string>;
    EXPECT_EQ(module.ADOQuery1->SQL().lines(), (Lines{"select *", "from student", ""}));
    EXPECT_EQ(module.ADOQuery2->SQL().lines(), (Lines{"select *", "from svobodn", " "}));
    EXPECT_EQ(module.ADOQuery3->SQL().lines(),
              (Lines{"insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ)", "", "", ""}));
    EXPECT_EQ(module.ADOQuery4->SQL().lines(),
              (Lines{"insert into vselenie(id_zach, Id_room)", "VALUES ( :D2, :D1)"}));
    EXPECT_EQ(
        module.ADOQuery5->SQL().lines(),
        (Lines{"select id_room, korpus, kol_mest", "from room r",
               "where not exists (select *  from vselenie vs where r.id_room=vs.Id_room)", " "}));
    EXPECT_EQ(module.ADOQuery6->SQL().lines(),
              (Lines{"select id_room, Korpus, Kol_mest", "from room", " "}));
    EXPECT_EQ(module.ADOQuery1->SQL().Text(), "select *\r\nfrom student\r\n\r\n");
    EXPECT_EQ(module.ADOQuery4->preparedText(),
              "insert into vselenie(id_zach, Id_room)\r\nVALUES ( ?, ?)\r\n");
}

TEST(DataModule, TablesSourcesAndMasterLinks) {
    TDataModule3 module;
    struct Link {
        TADOTable* table;
        const char* tableName;
        TDataSource* master;
        const char* fields;
    };
    for (const Link& l : {Link{module.ADOTable1, "Room", module.DataSource5, "ID_room"},
                          Link{module.ADOTable2, "Vselenie", module.DataSource1, "Id_zach"},
                          Link{module.ADOTable3, "Platej", module.DataSource1, "Id_zach"}}) {
        EXPECT_EQ(l.table->TableName(), l.tableName);
        EXPECT_EQ(l.table->MasterSource(), l.master);
        EXPECT_EQ(l.table->MasterFields(), l.fields);
        EXPECT_EQ(l.table->IndexFieldNames(), l.fields);
        EXPECT_EQ(l.table->CursorType(), TCursorType::ctStatic);
    }
    const std::pair<TDataSource*, TDataSet*> sources[] = {
        {module.DataSource1, module.ADOQuery1}, {module.DataSource2, module.ADOTable2},
        {module.DataSource3, module.ADOTable3}, {module.DataSource4, module.ADOQuery2},
        {module.DataSource5, module.ADOQuery6}, {module.DataSource6, module.ADOQuery5},
        {module.DataSource7, module.ADOTable1}};
    for (const auto& [source, set] : sources) {
        EXPECT_EQ(source->DataSet(), set) << source->Name();
        EXPECT_TRUE(source->Enabled());
        EXPECT_TRUE(source->AutoEdit());
        EXPECT_EQ(source->State(), TDataSetState::dsInactive);
    }
}

TEST(DataModule, BindingsNamedBeforeTheModuleAreCompletedAtItsCreation) {
    ASSERT_EQ(DataModule3, nullptr);
    TDataSource* bound = nullptr;
    TDataSet* chartSet = nullptr;
    ModuleBindings::bindDataSource("datasource1", [&](TDataSource* s) { bound = s; });
    ModuleBindings::bindDataSet("ADOQuery6", [&](TDataSet* s) { chartSet = s; });
    const auto withdrawn =
        ModuleBindings::bindDataSource("DataSource2", [](TDataSource*) { FAIL(); });
    ModuleBindings::cancel(withdrawn);
    EXPECT_EQ(ModuleBindings::pendingNames().size(), 2u);
    {
        TDataModule3 module;
        EXPECT_EQ(DataModule3, &module);
        EXPECT_EQ(bound, module.DataSource1);
        EXPECT_EQ(chartSet, module.ADOQuery6);
        EXPECT_TRUE(ModuleBindings::pendingNames().empty());
        TDataSource* late = nullptr; // once the module exists, at once
        ModuleBindings::bindDataSource("DataSource7", [&](TDataSource* s) { late = s; });
        EXPECT_EQ(late, module.DataSource7);
    }
    EXPECT_EQ(DataModule3, nullptr);
}

} // namespace
