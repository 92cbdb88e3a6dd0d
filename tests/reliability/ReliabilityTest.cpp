// The whole program under hostile input and faults, on both databases.
#include "tests/ui/WindowSetFixture.h"
#include "ui/dialogs/Unit4.h"
#include "ui/sql/SqlText.h"

#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <unistd.h>

using namespace testsupport;

namespace {

enum class Db { SQLite, PostgreSQL };

const char* const kRowNotFound = "Row cannot be located for updating. Some values may have been "
                                 "changed since it was last read.";

class OnBothDatabases : public WindowSetTest, public testing::WithParamInterface<Db> {
protected:
    void SetUp() override {
        if (GetParam() == Db::PostgreSQL && testPgConninfo().empty())
            GTEST_SKIP() << "no PostgreSQL test cluster";
        WindowSetTest::SetUp();
        if (GetParam() == Db::PostgreSQL) {
            resetPostgresCatalog();
            useCatalog(postgresConnectionString());
        }
    }
    std::string value(const std::string& sql) const {
        return GetParam() == Db::PostgreSQL ? queryScalarPostgres(sql) : scalar(sql);
    }
    void exec(const std::string& sql) const {
        GetParam() == Db::PostgreSQL ? execPostgres(sql) : execSqlite(catalogPath, sql);
    }
    std::string connectionString() const {
        return GetParam() == Db::PostgreSQL ? postgresConnectionString()
                                            : sqliteConnectionString(catalogPath);
    }

    /// Presses "Добавить" in the payment dialog with these texts for the current student.
    void addPayment(const QString& cashier, const QString& month, const QString& sum) {
        whileModal(Form4, [&] {
            Form4->Edit2->setText(cashier);
            Form4->ComboBox1->setEditText(month);
            Form4->Edit1->setText(sum);
            click(Form4->BitBtn1);
        });
        Form2->BitBtn4Click();
    }
    void showStudent(const char* recordBook) {
        click(Form2->RadioButton1);
        Form2->Edit1->setText(recordBook);
        click(Form2->BitBtn1);
    }
    /// A post from a navigator button: errors reach the default error display.
    static void pressPost(TDBNavigator* bar) {
        guarded([bar] { bar->BtnClick(nbPost); })();
    }
};

QStringList hostileTexts() {
    QString longText;
    while (longText.size() < 10000)
        longText += QStringLiteral("Ж'\\\"-;");
    longText.truncate(10000);
    return {QStringLiteral("O'Neil"),
            QStringLiteral("''"),
            QStringLiteral("\"двойные\" кавычки"),
            QStringLiteral("C:\\temp\\new\\"),
            QStringLiteral("a -- b /* c */"),
            QStringLiteral("x'); delete from student; --"),
            QStringLiteral("Ёлка; ёж"),
            QStringLiteral("𝄞 нота 😀"),
            longText};
}

} // namespace

TEST_P(OnBothDatabases, HostilePaymentTextsAreStoredExactlyAsTyped) {
    showStudent("20571");
    const std::string students = value("select count(*) from student");
    for (const QString& text : hostileTexts()) {
        addPayment(text, text, "1");
        ASSERT_TRUE(boxes.empty()) << boxes[0].text.left(200).toStdString();
        const std::string last = "(select max(Id_platej) from Platej)";
        EXPECT_EQ(value("select Kashier_fname from Platej where Id_platej = " + last),
                  text.toStdString());
        EXPECT_EQ(value("select Month_oplat from Platej where Id_platej = " + last),
                  text.toStdString());
    }
    EXPECT_EQ(value("select count(*) from student"), students);
}

TEST_P(OnBothDatabases, HostileSumIsRefusedByTheDatabaseAndRunsNothing) {
    showStudent("20571");
    const std::string payments = value("select count(*) from Platej");
    addPayment("касса", "март", "1'); delete from student; --");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(boxes[0].text.isEmpty());
    EXPECT_EQ(value("select count(*) from Platej"), payments);
    EXPECT_NE(value("select count(*) from student"), "0");
}

TEST_P(OnBothDatabases, HostileSurnamesAreFoundAsOneLiteral) {
    int id = 99100;
    for (const QString& text : hostileTexts()) {
        exec("insert into student(Id_zach, Fname) values (" + std::to_string(++id) + ", " +
             quotedLiteral(text.toStdString()) + ")");
        click(Form2->RadioButton2);
        Form2->Edit1->setText(text);
        click(Form2->BitBtn1);
        ASSERT_TRUE(boxes.empty()) << boxes[0].text.left(200).toStdString();
        TADOQuery& students = *DataModule3->ADOQuery1;
        // Read past the program: the demo catalog already has an O'Neil.
        const std::string matching = value("select count(*) from student where Fname = " +
                                           quotedLiteral(text.toStdString()));
        ASSERT_EQ(std::to_string(students.RecordCount()), matching) << text.left(40).toStdString();
        EXPECT_GE(students.RecordCount(), 1);
        EXPECT_EQ(students.FieldByName("Fname")->DisplayText(), text.toStdString());
    }
}

TEST_P(OnBothDatabases, SecondWorkstationSavingTheSameStudentOrRoomIsRefusedAndKeepsItsValues) {
    showStudent("20571");
    TADOQuery& mine = *DataModule3->ADOQuery1;
    mine.Edit();
    mine.FieldByName("Lname")->setAsString("Моё");

    // The other workstation: its own connection, saving first.
    TADOConnection other;
    other.setConnectionString(connectionString());
    TADOQuery theirs("ADOQuery1");
    theirs.setConnection(&other);
    theirs.SQL().setText("select * from student where Id_zach = 20571");
    theirs.Open();
    theirs.Edit();
    theirs.FieldByName("Lname")->setAsString("Их");
    theirs.Post();

    pressPost(Form2->DBNavigator1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kRowNotFound);
    EXPECT_EQ(mine.State(), TDataSetState::dsEdit);
    EXPECT_EQ(mine.FieldByName("Lname")->DisplayText(), "Моё");
    EXPECT_EQ(value("select Lname from student where Id_zach = 20571"), "Их");

    // The same for a room of the sorted room list.
    click(Form2->RadioButton3);
    TADOQuery& rooms = *DataModule3->ADOQuery6;
    const std::string room = rooms.FieldByName("id_room")->DisplayText();
    rooms.Edit();
    rooms.FieldByName("Kol_mest")->setAsInteger(9);
    exec("update Room set Kol_mest = 7 where id_room = " + room);
    pressPost(Form2->DBNavigator3);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, kRowNotFound);
    EXPECT_EQ(rooms.FieldByName("Kol_mest")->AsInteger(), 9);
    EXPECT_EQ(value("select Kol_mest from Room where id_room = " + room), "7");
}

INSTANTIATE_TEST_SUITE_P(Databases, OnBothDatabases, testing::Values(Db::SQLite, Db::PostgreSQL),
                         [](const auto& info) {
                             return info.param == Db::SQLite ? "SQLite" : "PostgreSQL";
                         });

class ServerRestart : public WindowSetTest {
protected:
    void SetUp() override {
        if (testPgConninfo().empty())
            GTEST_SKIP() << "no PostgreSQL test cluster";
        WindowSetTest::SetUp();
        resetPostgresCatalog();
        useCatalog(postgresConnectionString());
    }
    void TearDown() override {
        if (halted)
            resumePostgres();
        WindowSetTest::TearDown();
    }
    void halt() {
        haltPostgres();
        halted = true;
    }
    void resume() {
        resumePostgres();
        halted = false;
    }
    bool halted = false;
};

TEST_F(ServerRestart, TheActionInFlightFailsTheNextWorksAndNoWriteIsRepeatedOrLost) {
    click(Form2->BitBtn3);
    ASSERT_TRUE(DataModule3->ADOQuery1->Active());

    halt();
    click(Form2->BitBtn3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(DataModule3->ADOQuery1->Active());
    resume();
    click(Form2->BitBtn3);
    EXPECT_EQ(boxes.size(), 1u);
    ASSERT_TRUE(DataModule3->ADOQuery1->Active());

    // A payment while the server is down fails; pressed again it is saved once.
    const int before = std::stoi(queryScalarPostgres("select count(*) from Platej"));
    bool openAfterFailure = false;
    whileModal(Form4, [&] {
        Form4->Edit2->setText("перезапуск");
        Form4->Edit1->setText("700");
        halt();
        click(Form4->BitBtn1);
        openAfterFailure = Form4->isVisible();
        resume();
        click(Form4->BitBtn1);
    });
    Form2->BitBtn4Click();
    EXPECT_TRUE(openAfterFailure);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(std::stoi(queryScalarPostgres("select count(*) from Platej")), before + 1);
    EXPECT_EQ(queryScalarPostgres("select count(*) from Platej where Kashier_fname = 'перезапуск'"),
              "1");
}

TEST_F(WindowSetTest, MissingCatalogFileGivesAClearErrorAndTheProgramGoesOn) {
    useCatalog(sqliteConnectionString("/nonexistent/folder/ZEMT.sqlite"));
    click(Form2->BitBtn3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("ZEMT.sqlite") || boxes[0].text.contains("open"))
        << boxes[0].text.toStdString();
    EXPECT_FALSE(QFile::exists("/nonexistent/folder/ZEMT.sqlite"));
    useCatalog(sqliteConnectionString(catalogPath));
    click(Form2->BitBtn3);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(DataModule3->ADOQuery1->Active());
}

TEST_F(WindowSetTest, ReadOnlyCatalogFileIsReadButRefusesWritesWithTheDatabaseMessage) {
    // Root writes through file permissions; the immutable attribute stops it too.
    const std::string protect = geteuid() == 0 ? "chattr +i '" + catalogPath + "' 2>/dev/null"
                                               : "chmod a-w '" + catalogPath + "'";
    if (std::system(protect.c_str()) != 0)
        GTEST_SKIP() << "cannot make the catalog file read-only here";
    struct Unprotect {
        std::string path;
        ~Unprotect() {
            std::system(("chattr -i '" + path + "' 2>/dev/null; chmod u+w '" + path + "'").c_str());
        }
    } unprotect{catalogPath};

    click(Form2->RadioButton1);
    Form2->Edit1->setText("20571");
    click(Form2->BitBtn1);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    ASSERT_EQ(DataModule3->ADOQuery1->RecordCount(), 1);
    const std::string payments = scalar("select count(*) from Platej");
    whileModal(Form4, [this] {
        Form4->Edit2->setText("касса");
        Form4->Edit1->setText("500");
        click(Form4->BitBtn1);
        EXPECT_TRUE(Form4->isVisible());
    });
    Form2->BitBtn4Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("readonly")) << boxes[0].text.toStdString();
    EXPECT_EQ(scalar("select count(*) from Platej"), payments);
}

TEST_F(WindowSetTest, CatalogInAFolderTheUserMayNotEnterGivesTheDatabaseMessage) {
    // The installed catalog's folder admits only its group. A user outside it
    // is played by nobody's user id when the tests run as root (root passes
    // every permission), by a folder closed to its own owner otherwise.
    const QString folder = QFileInfo(QString::fromStdString(catalogPath)).absolutePath();
    const auto open = QFile::permissions(folder);
    const bool root = geteuid() == 0;
    ASSERT_TRUE(
        QFile::setPermissions(folder, root ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                           : QFile::Permissions()));
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    click(Form2->BitBtn3);
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    QFile::setPermissions(folder, open);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("unable to open database file"))
        << boxes[0].text.toStdString();
    EXPECT_FALSE(DataModule3->ADOQuery1->Active());
    click(Form2->BitBtn3);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(DataModule3->ADOQuery1->Active());
}
