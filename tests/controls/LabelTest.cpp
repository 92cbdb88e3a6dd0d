// The field label, and binding by data-source name through the data module.
#include "controls/TDBGrid.h"
#include "controls/TDBNavigator.h"
#include "controls/TDBText.h"
#include "data/module/Unit3.h"
#include "data/values/Exceptions.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/support/Catalogs.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace controlstest;

TEST(FieldLabel, TextFollowsTheCurrentRecordAndIsEmptyWhenClosedOrEmpty) {
    StudentData data(2);
    TDBText label;
    label.setObjectName("DBText1");
    label.setDataSource(&data.source);
    label.setDataField("Id_zach");
    EXPECT_EQ(label.Caption(), QString());

    data.setWhere("where 1=0");
    data.query.Open();
    EXPECT_EQ(label.Caption(), QString());
    data.query.Insert();
    data.query.FieldByName("Id_zach")->setAsInteger(555);
    EXPECT_EQ(label.Caption(), "555"); // the value written so far into the new row
    data.query.Close();
    EXPECT_EQ(label.Caption(), QString());

    data.setWhere("");
    data.query.Open();
    EXPECT_EQ(label.Caption(), "101");
    data.query.Next();
    EXPECT_EQ(label.Caption(), "102");
}

TEST(FieldLabel, ShowsAnAmpersandAsItself) {
    StudentData data(1);
    testsupport::execSqlite(data.path, "update student set Fname='Tom & Jerry'");
    TDBText label;
    label.setDataSource(&data.source);
    label.setDataField("Fname");
    data.query.Open();
    EXPECT_EQ(label.Caption(), "Tom & Jerry");
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
}

TEST(FieldLabel, OpeningWithoutTheLabelsFieldFailsWithTheLabelsName) {
    StudentData data(1);
    TDBText label;
    label.setObjectName("DBText3");
    label.setDataSource(&data.source);
    label.setDataField("id_room");
    try {
        data.query.Open();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "DBText3: Field 'id_room' not found");
    }
    EXPECT_EQ(label.Caption(), QString());
}

TEST(ModuleBinding, ControlsMadeBeforeTheModuleBindWhenItIsCreated) {
    const std::string path = testsupport::makeTempSqliteCatalog(true);
    TDBGrid grid;
    grid.setDataSourceName("DataSource1");
    TDBText label;
    label.setDataSourceName("datasource1");
    label.setDataField("Id_zach");
    TDBNavigator bar;
    bar.setDataSourceName("DataSource1");
    EXPECT_EQ(grid.DataSource(), nullptr);
    {
        TDataModule3 module;
        EXPECT_EQ(grid.DataSource(), module.DataSource1);
        EXPECT_EQ(label.DataSource(), module.DataSource1);
        EXPECT_EQ(bar.DataSource(), module.DataSource1);
        module.ADOConnection1->setConnectionString(testsupport::sqliteConnectionString(path));
        module.ADOQuery1->Open();
        EXPECT_EQ(grid.columnCount(), 5);
        EXPECT_FALSE(label.Caption().isEmpty());
        EXPECT_TRUE(bar.button(nbNext)->isEnabled());
    }
    // The module's data sources are gone; the controls show the closed look.
    EXPECT_EQ(grid.DataSource(), nullptr);
    EXPECT_EQ(grid.columnCount(), 1);
    EXPECT_EQ(label.Caption(), QString());
    EXPECT_FALSE(bar.button(nbNext)->isEnabled());
}
