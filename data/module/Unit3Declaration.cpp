// DataModule3, declared. SQL lines are exact: empty lines, lines holding one
// blank, and the two blanks inside ADOQuery5's line 2 are part of the text.
#include "data/module/Unit3Declaration.h"

#include "zemt/BuildConfig.h"

namespace zemt::data {

namespace {

ComponentDeclaration component(ComponentKind kind, std::string name, int left, int top) {
    ComponentDeclaration c;
    c.kind = kind;
    c.name = std::move(name);
    c.left = left;
    c.top = top;
    return c;
}

ComponentDeclaration query(std::string name, int left, int top, TCursorType cursor,
                           std::vector<std::string> sql) {
    ComponentDeclaration c = component(ComponentKind::Query, std::move(name), left, top);
    c.cursorType = cursor;
    c.sql = std::move(sql);
    return c;
}

ComponentDeclaration table(std::string name, int left, int top, std::string tableName,
                           std::string masterSource, std::string masterFields,
                           std::string indexFieldNames) {
    ComponentDeclaration c = component(ComponentKind::Table, std::move(name), left, top);
    c.cursorType = TCursorType::ctStatic;
    c.tableName = std::move(tableName);
    c.masterSource = std::move(masterSource);
    c.masterFields = std::move(masterFields);
    c.indexFieldNames = std::move(indexFieldNames);
    return c;
}

ComponentDeclaration source(std::string name, int left, int top, std::string dataSet) {
    ComponentDeclaration c = component(ComponentKind::DataSource, std::move(name), left, top);
    c.dataSet = std::move(dataSet);
    return c;
}

ModuleDeclaration declare() {
    const auto ctStatic = TCursorType::ctStatic;
    const auto ctKeyset = TCursorType::ctKeyset; // not declared: the default
    ModuleDeclaration m{"DataModule3",
                        204,
                        115,
                        1074,
                        201,
                        {"ADOConnection1", ZEMT_CONNECTION_STRING, "SQLOLEDB.1", false, 32, 8},
                        {}};
    m.components = {
        source("DataSource1", 104, 64, "ADOQuery1"),
        table("ADOTable2", 168, 8, "Vselenie", "DataSource1", "Id_zach", "Id_zach"),
        source("DataSource2", 168, 64, "ADOTable2"),
        source("DataSource3", 240, 64, "ADOTable3"),
        table("ADOTable3", 232, 8, "Platej", "DataSource1", "Id_zach", "Id_zach"),
        query("ADOQuery1", 104, 16, ctStatic, {"select *", "from student", ""}),
        source("DataSource4", 336, 64, "ADOQuery2"),
        source("DataSource5", 416, 72, "ADOQuery6"),
        query("ADOQuery2", 336, 16, ctStatic, {"select *", "from svobodn", " "}),
        query("ADOQuery3", 520, 8, ctKeyset,
              {"insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ)", "", "", ""}),
        query("ADOQuery4", 592, 8, ctKeyset,
              {"insert into vselenie(id_zach, Id_room)", "VALUES ( :D2, :D1)"}),
        query("ADOQuery5", 712, 8, ctStatic,
              {"select id_room, korpus, kol_mest", "from room r",
               "where not exists (select *  from vselenie vs where r.id_room=vs.Id_room)", " "}),
        source("DataSource6", 712, 64, "ADOQuery5"),
        source("DataSource7", 808, 64, "ADOTable1"),
        table("ADOTable1", 808, 16, "Room", "DataSource5", "ID_room", "ID_room"),
        query("ADOQuery6", 416, 16, ctStatic,
              {"select id_room, Korpus, Kol_mest", "from room", " "}),
    };
    return m;
}

} // namespace

const ModuleDeclaration& moduleDeclaration() {
    static const ModuleDeclaration declaration = declare();
    return declaration;
}

} // namespace zemt::data
