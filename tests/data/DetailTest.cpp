// Positional parameters and detail tables on both databases.
#include "DbFixture.h"

namespace {

class DetailTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped())
            return;
        master = query("select * from student order by Id_zach", "ADOQuery1");
        source.setDataSet(master.get());
        detail = table("Platej", "ADOTable3");
        detail->setMasterSource(&source);
        detail->setMasterFields("Id_zach");
        detail->setIndexFieldNames("Id_zach");
    }
    int payments(const std::string& where) {
        return std::stoi(scalar("select count(*) from Platej " + where));
    }

    TDataSource source{"DataSource1"};
    std::unique_ptr<TADOQuery> master;
    std::unique_ptr<TADOTable> detail;
};

TEST_P(DetailTest, MarkersBindByListOrderNotByName) {
    exec("insert into student(Id_zach, Fname) values (30001, 'Тест')");
    auto q = std::make_unique<TADOQuery>("ADOQuery4");
    q->setConnection(connection.get());
    q->SQL().assignDeclared({"insert into vselenie(id_zach, Id_room)", "VALUES ( :D2, :D1)"});
    EXPECT_EQ(q->Parameters().Count(), 0); // the declared list stays empty
    q->Parameters().Clear();
    q->Parameters().AddParameter()->setName("D1");
    q->Parameters().AddParameter()->setName("D2");
    q->Parameters().FindParam("d1")->setValue(30001); // record-book number
    const int room = std::stoi(scalar("select min(\"Комната\") from svobodn"));
    q->Parameters().FindParam("D2")->setValue(room); // room number
    EXPECT_EQ(q->Parameters().FindParam("D1")->DataType(), TFieldType::ftInteger);
    q->ExecSQL();
    q->Parameters().Clear();
    EXPECT_EQ(scalar("select Id_room from Vselenie where Id_zach = 30001"), std::to_string(room));

    auto read = query("select * from Vselenie where Id_zach = 30001");
    read->Open();
    EXPECT_EQ(read->FieldByName("id_zach")->AsInteger(), 30001);
    EXPECT_EQ(messageOf([&] { q->Parameters().FindParam("D3"); }),
              "ADOQuery4: Parameter 'D3' not found");
}

TEST_P(DetailTest, RunTimeTextChangeRebuildsTheListCarryingValuesByName) {
    auto q = query("select * from student where Id_zach = :id and Kurs = :kurs");
    ASSERT_EQ(q->Parameters().Count(), 2);
    q->Parameters().FindParam("id")->setValue(20571);
    q->Parameters().FindParam("kurs")->setValue(3);
    q->Open();
    EXPECT_EQ(q->RecordCount(), 1);
    q->SQL().setLine(0, "select * from student where Kurs = :KURS and Id_zach <> 0");
    ASSERT_EQ(q->Parameters().Count(), 1);
    EXPECT_EQ(q->Parameters().Items(0)->Name(), "KURS");
    EXPECT_EQ(q->Parameters().Items(0)->Value(), Variant(3));
}

TEST_P(DetailTest, AClosedMasterLeavesEveryRowAndItsOpeningRestricts) {
    detail->Open(); // master closed: every row
    EXPECT_EQ(detail->RecordCount(), payments(""));
    EXPECT_EQ(detail->restriction(), "");
    master->Open(); // restricted to the first student, at the first row
    const auto first = master->FieldByName("Id_zach")->AsString();
    const std::string link =
        detail->FieldByName("Id_zach")->FieldName(); // as the database names it
    EXPECT_EQ(detail->restriction(), "(" + link + "=" + first + ")");
    EXPECT_EQ(detail->RecordCount(), payments("where Id_zach = " + first));
    EXPECT_EQ(detail->RecNo(), detail->IsEmpty() ? 0 : 1);
    EXPECT_TRUE(detail->Bof());

    while (!master->Eof() && master->FieldByName("Id_zach")->AsInteger() != 20572)
        master->Next();
    EXPECT_EQ(detail->RecordCount(), 4);
    for (int i = 0; i < detail->RecordCount(); ++i)
        EXPECT_EQ(detail->rowDisplayText(i, detail->FieldByName("Id_zach")->Index()), "20572");

    master->Close(); // the restriction goes; every row is held again
    EXPECT_EQ(detail->RecordCount(), payments(""));
    EXPECT_EQ(detail->restriction(), "");
    master->Open(); // same first key as before the close: applied again
    EXPECT_EQ(detail->RecordCount(), payments("where Id_zach = " + first));
}

TEST_P(DetailTest, AnEmptyMasterRestrictsToNullAndAClosedDetailStaysClosed) {
    master->SQL().setLine(0, "select * from student where Id_zach = -1");
    master->Open();
    detail->Open();
    EXPECT_EQ(detail->restriction(), "(" + detail->FieldByName("Id_zach")->FieldName() + "=Null)");
    EXPECT_TRUE(detail->IsEmpty());

    detail->Close();
    master->Close();
    master->SQL().setLine(0, "select * from student order by Id_zach");
    master->Open();
    EXPECT_FALSE(detail->Active()); // a master never opens its details
}

TEST_P(DetailTest, DetailFollowsPostedKeyChangesAndNewRowsBelongToTheMaster) {
    master->Open();
    detail->Open();
    while (master->FieldByName("Id_zach")->AsInteger() != 20572)
        master->Next();
    detail->Append();
    EXPECT_EQ(detail->FieldByName("Id_zach")->AsInteger(), 20572); // filled from the master
    EXPECT_FALSE(detail->Modified());
    detail->FieldByName("Month_oplat")->setAsString("январь");
    master->Next(); // settles the detail row before following
    EXPECT_EQ(payments("where Id_zach = 20572 and Month_oplat = 'январь'"), 1);
    EXPECT_EQ(detail->State(), TDataSetState::dsBrowse);
    EXPECT_NE(detail->restriction(), "(Id_zach=20572)");
}

TEST_P(DetailTest, DestructionDropsATypedDetailRowWithoutWritingOrThrowing) {
    // Whichever of detail, master source and master goes first, the typed row
    // is dropped as Close drops it: valid (it would be saved) or refused by
    // the database (the refusal would escape a destructor and end the process).
    enum class First { Detail, MasterSource, Master };
    const int before = payments("");
    for (const First first : {First::Detail, First::MasterSource, First::Master}) {
        for (const int student : {20572, -5 /* no such student: refused */}) {
            auto ownMaster = query("select * from student order by Id_zach", "ADOQuery1");
            auto ownSource = std::make_unique<TDataSource>("DataSource1");
            ownSource->setDataSet(ownMaster.get());
            auto ownDetail = table("Platej", "ADOTable3");
            ownDetail->setMasterSource(ownSource.get());
            ownDetail->setMasterFields("Id_zach");
            ownDetail->setIndexFieldNames("Id_zach");
            ownMaster->Open();
            ownDetail->Open();
            ownDetail->Append();
            ownDetail->FieldByName("Id_zach")->setAsInteger(student);
            ownDetail->FieldByName("Month_oplat")->setAsString("не сохранится");
            ASSERT_TRUE(ownDetail->Modified());
            if (first == First::Detail)
                ownDetail.reset();
            else if (first == First::MasterSource)
                ownSource.reset();
            else
                ownMaster.reset();
            if (ownDetail) {
                EXPECT_EQ(ownDetail->State(), TDataSetState::dsBrowse);
            }
            ownDetail.reset();
            EXPECT_EQ(payments(""), before) << int(first) << " " << student;
        }
    }
}

TEST_P(DetailTest, ADetailTakesNoFilterText) {
    EXPECT_EQ(messageOf([&] { detail->setFilter("(Id_zach=1)"); }),
              "ADOTable3: Filter property cannot be used for detail tables");
    detail->setFilter(""); // the value it holds: nothing happens

    auto t = table("Platej");
    t->Open();
    t->setFilter("(Id_zach=20572) AND (Month_oplat='сентябрь')");
    EXPECT_EQ(t->RecordCount(), payments(""));
    t->setFiltered(true);
    EXPECT_EQ(t->RecordCount(), 1);
}

INSTANTIATE_DB_TEST(DetailTest);

} // namespace
