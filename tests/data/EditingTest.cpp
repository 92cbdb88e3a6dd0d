// Pending rows, saving, deleting, optimistic locking, notices and bookmarks.
#include "DbFixture.h"

#include "data/dataset/TDataLink.h"

namespace {

class EditingTest : public DbTest {
protected:
    std::unique_ptr<TADOQuery> student(int id) {
        auto q = query("select * from student where Id_zach = " + std::to_string(id), "ADOQuery1");
        q->Open();
        return q;
    }
};

const char* const kRowNotFound = "Row cannot be located for updating. Some values may have been "
                                 "changed since it was last read";

TEST_P(EditingTest, StateTableOfEditInsertPostCancel) {
    auto q = student(20571);
    ASSERT_TRUE(q->CanModify());
    q->Edit();
    EXPECT_EQ(q->State(), TDataSetState::dsEdit);
    q->Insert(); // settles the untouched edit, then inserts
    EXPECT_EQ(q->State(), TDataSetState::dsInsert);
    EXPECT_EQ(q->rowCount(), 2);
    EXPECT_EQ(q->RecordCount(), 1);
    q->Edit(); // nothing while a row is pending
    EXPECT_EQ(q->State(), TDataSetState::dsInsert);
    q->Cancel();
    EXPECT_EQ(q->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(q->rowCount(), 1);

    auto empty = query("select * from student where Id_zach = -1");
    empty->Open();
    empty->Edit(); // on an empty data set, an insert
    EXPECT_EQ(empty->State(), TDataSetState::dsInsert);
}

TEST_P(EditingTest, PostSendsOnlyTheAssignedColumnsAndTheDatabaseSuppliesTheRest) {
    auto t = table("Platej");
    t->Open();
    const int count = t->RecordCount();
    t->Append();
    t->FieldByName("Id_zach")->setAsInteger(20571);
    t->FieldByName("Month_oplat")->setAsString("май");
    t->Post();
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t->RecordCount(), count + 1);
    EXPECT_EQ(t->RecNo(), count + 1);
    // The held row is the database's row: its key and default date came back.
    EXPECT_FALSE(t->FieldByName("Id_platej")->IsNull());
    EXPECT_FALSE(t->FieldByName("Date_platej")->IsNull());
    const std::string id = t->FieldByName("Id_platej")->AsString();
    EXPECT_EQ(scalar("select Month_oplat from Platej where Id_platej = " + id), "май");
    EXPECT_EQ(scalar("select count(*) from Platej where Id_platej = " + id +
                     " and Kashier_fname is null and Summ is null"),
              "1");
}

TEST_P(EditingTest, PostOfAnEditSendsOnlyTheChangedColumns) {
    auto q = student(20571);
    exec("update student set Lname = 'Другое' where Id_zach = 20571"); // another workstation
    q->Edit();
    q->FieldByName("Kurs")->setAsString("4");
    q->Post();
    EXPECT_EQ(scalar("select Kurs from student where Id_zach = 20571"), "4");
    EXPECT_EQ(scalar("select Lname from student where Id_zach = 20571"), "Другое");
    EXPECT_EQ(q->FieldByName("Kurs")->AsInteger(), 4);
}

TEST_P(EditingTest, APostTheDatabaseRefusesKeepsTheRowPendingWithItsValues) {
    auto q = student(20571);
    q->Edit();
    q->FieldByName("Kurs")->setAsInteger(9); // CHECK (Kurs BETWEEN 1 AND 6)
    EXPECT_FALSE(messageOf<EADOError>([&] { q->Post(); }).empty());
    EXPECT_EQ(q->State(), TDataSetState::dsEdit);
    EXPECT_EQ(q->FieldByName("Kurs")->AsInteger(), 9);
    q->FieldByName("Kurs")->setAsInteger(6); // corrected and saved again
    q->Post();
    EXPECT_EQ(scalar("select Kurs from student where Id_zach = 20571"), "6");

    q->Insert();
    q->FieldByName("Id_zach")->setAsString("20571"); // duplicate key
    EXPECT_THROW(q->Post(), EADOError);
    EXPECT_EQ(q->State(), TDataSetState::dsInsert);
    q->Cancel();
    EXPECT_EQ(q->RecordCount(), 1);
}

TEST_P(EditingTest, DeleteWhileAnInsertIsPendingDeletesNothing) {
    auto q = student(20571);
    q->Insert();
    q->FieldByName("Id_zach")->setAsInteger(99998);
    q->Delete();
    EXPECT_EQ(q->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(q->RecordCount(), 1);
    EXPECT_EQ(scalar("select count(*) from student where Id_zach in (20571, 99998)"), "1");
}

TEST_P(EditingTest, DeleteRemovesTheRowAtOnceAndFailsOnEmptyOrRefused) {
    auto t = query("select * from Platej where Id_zach = 20571 order by Id_platej", "ADOTable3");
    t->Open();
    const int count = t->RecordCount();
    t->Next();
    const std::string id = t->FieldByName("Id_platej")->AsString();
    t->Delete();
    EXPECT_EQ(t->RecordCount(), count - 1);
    EXPECT_EQ(t->RecNo(), 2); // the following row
    EXPECT_EQ(scalar("select count(*) from Platej where Id_platej = " + id), "0");

    // Refused: the student still has payments and check-ins.
    auto s = student(20571);
    EXPECT_FALSE(messageOf<EADOError>([&] { s->Delete(); }).empty());
    EXPECT_EQ(s->RecordCount(), 1);

    auto empty = query("select * from student where Id_zach = -1", "ADOQuery1");
    empty->Open();
    EXPECT_EQ(messageOf([&] { empty->Delete(); }),
              "ADOQuery1: Cannot perform this operation on an empty dataset");
}

TEST_P(EditingTest, SecondWorkstationSavingTheSameColumnIsRefusedNotOverwriting) {
    auto first = student(20571);
    auto second = student(20571);
    first->Edit();
    first->FieldByName("Lname")->setAsString("Первая");
    first->Post();
    second->Edit();
    second->FieldByName("Lname")->setAsString("Вторая");
    EXPECT_EQ(messageOf<EADOError>([&] { second->Post(); }), kRowNotFound);
    EXPECT_EQ(second->State(), TDataSetState::dsEdit);
    EXPECT_EQ(second->FieldByName("Lname")->DisplayText(), "Вторая");
    EXPECT_EQ(scalar("select Lname from student where Id_zach = 20571"), "Первая");
    // A column nobody else changed still saves.
    second->Cancel();
    second->Edit();
    second->FieldByName("Kurs")->setAsInteger(4);
    second->Post();
    EXPECT_EQ(scalar("select Lname || ' ' || Kurs from student where Id_zach = 20571"), "Первая 4");
}

TEST_P(EditingTest, ChangesFromAnotherWorkstationFailOptimisticLocking) {
    auto q = student(20571);
    // By primary key: the row was removed elsewhere.
    exec("delete from Platej where Id_zach = 20571");
    exec("delete from Vselenie where Id_zach = 20571");
    exec("delete from student where Id_zach = 20571");
    q->Edit();
    q->FieldByName("Kurs")->setAsInteger(2);
    EXPECT_EQ(messageOf<EADOError>([&] { q->Post(); }), kRowNotFound);
    EXPECT_EQ(q->State(), TDataSetState::dsEdit);
    q->Cancel();
    EXPECT_EQ(messageOf<EADOError>([&] { q->Delete(); }), kRowNotFound);
    EXPECT_EQ(q->RecordCount(), 1);

    // By all original values (no key among the columns): the row changed elsewhere.
    auto v = query("select Id_zach, Kashier_fname, Month_oplat from Platej where Id_zach = 20572 "
                   "and Month_oplat = 'сентябрь'");
    v->Open();
    ASSERT_TRUE(v->CanModify());
    exec("update Platej set Kashier_fname = 'Другая' where Id_zach = 20572 and "
         "Month_oplat = 'сентябрь'");
    v->Edit();
    v->FieldByName("Month_oplat")->setAsString("март");
    EXPECT_EQ(messageOf<EADOError>([&] { v->Post(); }), kRowNotFound);
    EXPECT_EQ(scalar("select count(*) from Platej where Month_oplat = 'март'"), "0");
}

TEST_P(EditingTest, RowsThatCannotBeIdentifiedUniquelyAreNeverWrittenTwice) {
    exec("insert into Platej(Id_zach, Kashier_fname, Month_oplat) values "
         "(20571, 'Двойник', 'июль'), (20571, 'Двойник', 'июль')");
    auto v = query("select Kashier_fname, Month_oplat from Platej where Kashier_fname = 'Двойник'");
    v->Open();
    v->Edit();
    v->FieldByName("Month_oplat")->setAsString("август");
    EXPECT_EQ(messageOf<EADOError>([&] { v->Post(); }), kRowNotFound);
    EXPECT_EQ(scalar("select count(*) from Platej where Month_oplat = 'август'"), "0");
}

TEST_P(EditingTest, ColumnsFromNoBaseTableAreReadOnly) {
    auto expr = query("select count(*) as n from student", "ADOQuery2");
    expr->Open();
    EXPECT_FALSE(expr->CanModify());
    EXPECT_TRUE(expr->FieldByName("n")->ReadOnly());
    EXPECT_EQ(messageOf([&] { expr->Insert(); }), "ADOQuery2: Cannot modify a read-only dataset");
    EXPECT_EQ(messageOf([&] { expr->Edit(); }), "ADOQuery2: Cannot modify a read-only dataset");

    auto mixed = query("select Id_zach, Fname || '!' as shout from student where Id_zach = 20571");
    mixed->Open();
    EXPECT_TRUE(mixed->CanModify());
    EXPECT_FALSE(mixed->FieldByName("Id_zach")->ReadOnly());
    EXPECT_TRUE(mixed->FieldByName("shout")->ReadOnly());
    mixed->Edit();
    EXPECT_THROW(mixed->FieldByName("shout")->setAsString("x"), EDatabaseError);
}

TEST_P(EditingTest, MovesAndRefreshSettleThePendingRow) {
    auto q = query("select * from student where Id_zach in (20571, 20572) order by Id_zach");
    q->Open();
    q->Edit();
    q->FieldByName("Kurs")->setAsInteger(5);
    q->Next(); // modified: saved
    EXPECT_EQ(scalar("select Kurs from student where Id_zach = 20571"), "5");
    q->Insert();
    q->Refresh(); // untouched: dropped
    EXPECT_EQ(q->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(q->RecordCount(), 2);
    q->Insert();
    q->FieldByName("Id_zach")->setAsInteger(99997);
    q->FieldByName("Fname")->setAsString("Тест");
    q->Refresh(); // typed: saved first
    EXPECT_EQ(scalar("select Fname from student where Id_zach = 99997"), "Тест");
    q->Insert();
    q->FieldByName("Id_zach")->setAsInteger(99996);
    q->Close(); // closing drops it unsaved
    EXPECT_EQ(scalar("select count(*) from student where Id_zach = 99996"), "0");
}

TEST_P(EditingTest, TypedTextIsConvertedByFieldKind) {
    auto q = student(20571);
    q->Edit();
    EXPECT_EQ(messageOf<EConvertError>([&] { q->FieldByName("Kurs")->setAsString("abc"); }),
              "'abc' is not a valid integer value");
    q->FieldByName("Kurs")->setAsString("");
    EXPECT_TRUE(q->FieldByName("Kurs")->IsNull());
    q->Cancel();
    EXPECT_EQ(messageOf([&] { q->FieldByName("Kurs")->setAsInteger(1); }),
              "ADOQuery1: Dataset not in edit or insert mode");
}

// ---- notices --------------------------------------------------------------------

struct Recorder : TDataLink {
    std::vector<std::string> heard;
    void activeChanged() override { heard.push_back(Active() ? "active" : "inactive"); }
    void dataSetChanged() override { heard.push_back("changed"); }
    void dataSetScrolled(int d) override { heard.push_back("scrolled " + std::to_string(d)); }
    void layoutChanged() override { heard.push_back("layout"); }
    void editingChanged() override { heard.push_back(Editing() ? "editing" : "browsing"); }
    void updateData() override { heard.push_back("update"); }
    void recordChanged(TField* f) override {
        heard.push_back(f ? "field " + f->FieldName() : "record");
    }
};

TEST_P(EditingTest, DataSourcesPassNoticesAndFreezeWhileControlsAreDisabled) {
    auto q = query("select Id_zach, Kurs from student where Id_zach in (20571, 20572)");
    TDataSource source("DataSource1");
    source.setDataSet(q.get());
    Recorder link;
    link.setDataSource(&source);
    q->Open();
    q->Next();
    q->Edit();
    q->FieldByName("Kurs")->setAsInteger(4);
    q->Post();
    const std::string kurs = "field " + q->FieldByName("Kurs")->FieldName();
    EXPECT_EQ(link.heard, (std::vector<std::string>{"active", "scrolled 1", "editing", "record",
                                                    kurs, "update", "browsing", "changed"}));
    link.heard.clear();

    // A notice carries its field as a field and its distance as a number;
    // neither travels as an integer standing for the other.
    static_assert(
        !std::is_invocable_v<decltype(&TDataSet::DataEvent), TDataSet&, TDataEvent, long>);
    q->DataEvent(TDataEvent::deFieldChange, {.field = q->FieldByName("Id_zach")});
    q->DataEvent(TDataEvent::deDataSetScroll, {.distance = -2});
    EXPECT_EQ(link.heard, (std::vector<std::string>{
                              "field " + q->FieldByName("Id_zach")->FieldName(), "scrolled -2"}));
    link.heard.clear();

    q->DisableControls();
    q->DisableControls();
    q->First();
    q->Close();
    q->Open();
    EXPECT_EQ(source.State(), TDataSetState::dsBrowse);
    q->EnableControls();
    EXPECT_TRUE(link.heard.empty());
    q->Fields(0)->setIndex(1);
    q->EnableControls();
    EXPECT_EQ(link.heard, std::vector<std::string>{"layout"});

    link.heard.clear();
    q->DisableControls();
    q->Close();
    q->EnableControls();
    EXPECT_EQ(link.heard, std::vector<std::string>{"inactive"});
    source.setEnabled(false);
    EXPECT_EQ(source.State(), TDataSetState::dsInactive);
}

TEST_P(EditingTest, ControlsNeverHoldFieldsTheDataSetDropped) {
    auto q = query("select Id_zach, Kurs from student where Id_zach in (20571, 20572)");
    TDataSource source("DataSource1");
    source.setDataSet(q.get());
    Recorder link;
    link.setDataSource(&source);
    q->Open();
    q->Edit();
    link.heard.clear();
    // Closing while editing: the link is inactive before it hears editing end.
    q->Close();
    ASSERT_FALSE(link.heard.empty());
    EXPECT_EQ(link.heard.front(), "inactive");

    // Reopened while controls are disabled: new fields, so a layout change.
    q->Open();
    link.heard.clear();
    q->DisableControls();
    q->Close();
    q->Open();
    q->EnableControls();
    EXPECT_EQ(link.heard, std::vector<std::string>{"layout"});
}

TEST_P(EditingTest, BookmarksReturnToTheRow) {
    auto q = query("select Id_zach from student order by Id_zach");
    q->Open();
    q->MoveBy(3);
    TBookmark mark = q->GetBookmark();
    ASSERT_FALSE(mark.empty());
    q->Last();
    q->GotoBookmark(mark);
    EXPECT_EQ(q->RecNo(), 4);
    q->FreeBookmark(mark);
    EXPECT_TRUE(mark.empty());
    q->GotoBookmark(mark); // an empty handle does nothing
    EXPECT_EQ(q->RecNo(), 4);

    auto empty = query("select * from student where Id_zach = -1");
    empty->Open();
    EXPECT_TRUE(empty->GetBookmark().empty());
}

INSTANTIATE_DB_TEST(EditingTest);

} // namespace
