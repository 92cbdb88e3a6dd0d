// The record-keeping dialogs over a real catalog.
#include "data/values/Exceptions.h"
#include "tests/ui/WindowSetFixture.h"
#include "ui/dialogs/StrToInt.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"
#include "ui/dialogs/Unit6.h"
#include "ui/main/Unit2.h"

namespace {

void showStudent(const QString& recordBook) {
    Form2->RadioButton1->setChecked(true);
    Form2->Edit1->setText(recordBook);
    Form2->BitBtn1Click();
}

} // namespace

TEST(StrToInt, WholeNumbersInRangeOnly) {
    EXPECT_EQ(StrToInt("20571"), 20571);
    EXPECT_EQ(StrToInt("  -42"), -42);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
    for (const char* bad :
         {"", " ", "12 ", "1.5", "abc", "2147483648", "--1", "99999999999999999999"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST_F(WindowSetTest, PaymentIsRecordedAsTypedAndTheDialogKeepsItsValues) {
    showStudent("20571");
    const std::string before = scalar("select count(*) from Platej where Id_zach = 20571");
    whileModal(Form4, [] {
        Form4->ComboBox1->setCurrentIndex(2); // март
        Form4->Edit2->setText("desk 'B'");
        Form4->Edit1->setText("500");
        click(Form4->BitBtn1);
    });
    Form2->BitBtn4Click();
    EXPECT_EQ(DataModule3->ADOQuery3->SQL()[1], "VALUES ('20571','desk ''B''','март','500')");
    EXPECT_EQ(DataModule3->ADOQuery3->SQL()[0],
              "insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ)");
    EXPECT_EQ(std::stoi(scalar("select count(*) from Platej where Id_zach = 20571")),
              std::stoi(before) + 1);
    EXPECT_EQ(scalar("select Kashier_fname || '|' || Month_oplat || '|' || Summ from Platej "
                     "where Id_zach = 20571 order by Id_platej desc limit 1"),
              "desk 'B'|март|500.0");
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(Form4->isVisible());
    ASSERT_TRUE(DataModule3->ADOTable3->Active());
    EXPECT_EQ(std::to_string(DataModule3->ADOTable3->RecordCount()),
              scalar("select count(*) from Platej where Id_zach = 20571"));
    EXPECT_EQ(Form4->Edit2->text(), "desk 'B'");
    EXPECT_EQ(Form4->ComboBox1->currentText(), "март");
}

TEST_F(WindowSetTest, RefusedPaymentLeavesTheDialogOpenWithTheValuesTyped) {
    showStudent("20571");
    bool stillOpen = false;
    whileModal(Form4, [&] {
        Form4->ComboBox1->setEditText("мартобрь");
        Form4->Edit2->setText("desk 2");
        Form4->Edit1->setText("abc");
        click(Form4->BitBtn1);
        stillOpen = Form4->isVisible();
    });
    Form2->BitBtn4Click();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(DataModule3->ADOTable3->Active());
    EXPECT_EQ(Form4->Edit1->text(), "abc");
    EXPECT_EQ(Form4->ComboBox1->currentText(), "мартобрь");
    EXPECT_EQ(scalar("select count(*) from Platej where Kashier_fname = 'desk 2'"), "0");
}

TEST_F(WindowSetTest, RemovalAsksAndTheDatabaseDecides) {
    const std::string lone =
        scalar("select min(Id_zach) from student s where not exists "
               "(select * from Vselenie v where v.Id_zach = s.Id_zach) and not exists "
               "(select * from Platej p where p.Id_zach = s.Id_zach)");
    whileModal(Form5, [this, lone] {
        // Closed list: nothing at all.
        click(Form5->BitBtn1);
        EXPECT_TRUE(boxes.empty());

        showStudent(QString::fromStdString(lone));
        answers = {QMessageBox::Cancel};
        click(Form5->BitBtn1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Delete record?");
        EXPECT_EQ(boxes[0].caption, "Confirm");
        EXPECT_EQ(scalar("select count(*) from student where Id_zach = " + lone), "1");

        answers = {QMessageBox::Ok};
        click(Form5->BitBtn1);
        EXPECT_EQ(scalar("select count(*) from student where Id_zach = " + lone), "0");
        EXPECT_EQ(DataModule3->ADOQuery1->RecordCount(), 0);

        // Empty list: asks, then the data layer's message.
        boxes.clear();
        answers = {QMessageBox::Ok};
        click(Form5->BitBtn1);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, "ADOQuery1: Cannot perform this operation on an empty dataset.");

        // Payments still refer to 20571: the database refuses and the student stays.
        showStudent("20571");
        boxes.clear();
        answers = {QMessageBox::Ok};
        click(Form5->BitBtn1);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].icon, QMessageBox::Critical);
        EXPECT_EQ(scalar("select count(*) from student where Id_zach = 20571"), "1");
        EXPECT_EQ(DataModule3->ADOQuery1->RecordCount(), 1);
        EXPECT_EQ(DataModule3->ADOQuery1->State(), TDataSetState::dsBrowse);
    });
    Form2->BitBtn5Click();
}

TEST_F(WindowSetTest, CheckInPutsStudentAndRoomInTheirColumnsAndReloadsEverything) {
    const std::string student = scalar("select min(Id_zach) from student s where not exists "
                                       "(select * from Vselenie v where v.Id_zach = s.Id_zach)");
    showStudent(QString::fromStdString(student));
    whileModal(Form6, [this, &student] {
        TDataModule3& dm = *DataModule3;
        ASSERT_TRUE(dm.ADOQuery2->Active() && dm.ADOQuery5->Active());
        EXPECT_EQ(Form6->DBText1->Caption().toStdString(), student);
        const std::string partlyFree = Form6->DBText2->Caption().toStdString();
        click(Form6->BitBtn2);
        ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
        EXPECT_EQ(scalar("select count(*) from Vselenie where id_zach = " + student +
                         " and Id_room = " + partlyFree),
                  "1");
        for (TDataSet* ds :
             {static_cast<TDataSet*>(dm.ADOTable1), static_cast<TDataSet*>(dm.ADOTable2),
              static_cast<TDataSet*>(dm.ADOTable3), static_cast<TDataSet*>(dm.ADOQuery1),
              static_cast<TDataSet*>(dm.ADOQuery2), static_cast<TDataSet*>(dm.ADOQuery6),
              static_cast<TDataSet*>(dm.ADOQuery5)})
            EXPECT_TRUE(ds->Active()) << ds->Name();
        EXPECT_FALSE(dm.ADOQuery3->Active());
        EXPECT_EQ(dm.ADOQuery4->Parameters().Count(), 0);
        EXPECT_TRUE(Form6->isVisible());

        // The filter of the last search stays: the same student is first again.
        const std::string emptyRoom = Form6->DBText3->Caption().toStdString();
        click(Form6->BitBtn1);
        EXPECT_EQ(scalar("select count(*) from Vselenie where id_zach = " + student +
                         " and Id_room = " + emptyRoom),
                  "1");
    });
    Form2->BitBtn6Click();
}

TEST_F(WindowSetTest, CheckInWithoutARoomFailsWithTheConversionMessage) {
    // Every room gets somebody, so the list of empty rooms is empty.
    testsupport::execSqlite(
        catalogPath, "insert into Vselenie(Id_zach, Id_room) select 20572, id_room from Room r "
                     "where not exists (select * from Vselenie v where v.Id_room = r.id_room)");
    const std::string checkIns = scalar("select count(*) from Vselenie");
    whileModal(Form6, [this] {
        click(Form6->BitBtn1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "'' is not a valid integer value.");
    });
    Form2->BitBtn6Click();
    EXPECT_EQ(scalar("select count(*) from Vselenie"), checkIns);
}

TEST_F(WindowSetTest, TypedNewStudentIsSavedBeforeBeingCheckedIn) {
    whileModal(Form6, [this] {
        TADOQuery& students = *DataModule3->ADOQuery1;
        students.Insert();
        students.FieldByName("Id_zach")->setAsString("99001");
        students.FieldByName("Fname")->setAsString("Новикова");
        students.FieldByName("Kurs")->setAsString("1");
        click(Form6->BitBtn1);
        ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
        EXPECT_EQ(scalar("select Fname from student where Id_zach = 99001"), "Новикова");
        EXPECT_EQ(scalar("select count(*) from Vselenie where id_zach = 99001"), "1");

        // A refused new student stops the check-in with the database's message.
        students.Insert();
        students.FieldByName("Id_zach")->setAsString("99002");
        students.FieldByName("Kurs")->setAsString("9");
        click(Form6->BitBtn1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(scalar("select count(*) from Vselenie where id_zach = 99002"), "0");
        EXPECT_EQ(students.State(), TDataSetState::dsInsert);
    });
    Form2->BitBtn6Click();
}
