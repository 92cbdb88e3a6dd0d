// Opening, moving, reading and refreshing data sets on both databases.
#include "DbFixture.h"

#include <cstdlib>

namespace {

class DataSetTest : public DbTest {};

TEST_P(DataSetTest, OpenHoldsEveryRowAndStartsAtTheFirstWithBof) {
    auto q = query("select Id_zach, Fname from student where Id_zach in (20571, 20572, 22386) "
                   "order by Id_zach");
    EXPECT_EQ(q->State(), TDataSetState::dsInactive);
    q->Open();
    EXPECT_EQ(q->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(q->RecordCount(), 3);
    EXPECT_EQ(q->RecNo(), 1);
    EXPECT_TRUE(q->Bof());
    EXPECT_FALSE(q->Eof());
    EXPECT_EQ(q->FieldByName("ID_ZACH")->AsInteger(), 20571); // names match without regard to case
    auto rooms = query("select * from svobodn");
    rooms->Open();
    ASSERT_NE(rooms->FindField("Комната"), nullptr);
    EXPECT_EQ(rooms->FieldByName("КОМНАТА"), rooms->FindField("Комната"));
    EXPECT_EQ(rooms->FieldByName("свободно МЕСТ"), rooms->FindField("Свободно мест"));
    EXPECT_EQ(q->FieldByName("fname")->DisplayText(), "Петров");
    EXPECT_EQ(q->rowDisplayText(1, 1), "O'Neil"); // any held row, without moving
    EXPECT_EQ(q->RecNo(), 1);
    EXPECT_TRUE(connection->Connected());
}

TEST_P(DataSetTest, BofAndEofFollowEveryMove) {
    auto q = query("select Id_zach from student where Id_zach in (20571, 20572) order by Id_zach");
    q->Open();
    struct Step {
        const char* move;
        int recNo;
        bool bof, eof;
    };
    const Step steps[] = {
        {"Next", 2, false, false}, {"Next", 2, false, true}, {"Prior", 1, false, false},
        {"Prior", 1, true, false}, {"Last", 2, false, true}, {"First", 1, true, false},
    };
    for (const Step& s : steps) {
        const std::string m = s.move;
        if (m == "Next")
            q->Next();
        else if (m == "Prior")
            q->Prior();
        else if (m == "Last")
            q->Last();
        else
            q->First();
        EXPECT_EQ(q->RecNo(), s.recNo) << m;
        EXPECT_EQ(q->Bof(), s.bof) << m;
        EXPECT_EQ(q->Eof(), s.eof) << m;
    }
    EXPECT_EQ(q->MoveBy(5), 1);
    EXPECT_TRUE(q->Eof());
    EXPECT_EQ(q->MoveBy(-5), -1);
    EXPECT_TRUE(q->Bof());
}

TEST_P(DataSetTest, OneRowAndNoRowFlags) {
    auto one = query("select * from student where Id_zach = 20571");
    one->Open();
    EXPECT_TRUE(one->Bof());
    EXPECT_FALSE(one->Eof()); // only a move reveals the end
    one->Next();
    EXPECT_FALSE(one->Bof());
    EXPECT_TRUE(one->Eof());
    EXPECT_EQ(one->RecNo(), 1);

    auto none = query("select * from student where Id_zach = -1");
    none->Open();
    EXPECT_TRUE(none->IsEmpty());
    EXPECT_TRUE(none->Bof());
    EXPECT_TRUE(none->Eof());
    EXPECT_EQ(none->RecNo(), 0);
    EXPECT_EQ(none->FieldByName("Fname")->DisplayText(), "");
}

TEST_P(DataSetTest, OperationsOnAClosedDataSetFailWithItsName) {
    auto q = query("select * from student", "ADOQuery1");
    const std::string closed = "ADOQuery1: Cannot perform this operation on a closed dataset";
    const std::vector<std::pair<const char*, std::function<void()>>> ops = {
        {"First", [&] { q->First(); }},    {"Next", [&] { q->Next(); }},
        {"Prior", [&] { q->Prior(); }},    {"Last", [&] { q->Last(); }},
        {"MoveBy", [&] { q->MoveBy(1); }}, {"Refresh", [&] { q->Refresh(); }},
        {"Insert", [&] { q->Insert(); }},  {"Append", [&] { q->Append(); }},
        {"Edit", [&] { q->Edit(); }},      {"Delete", [&] { q->Delete(); }},
    };
    for (const auto& [name, op] : ops)
        EXPECT_EQ(messageOf<EDatabaseError>(op), closed) << name;
    EXPECT_EQ(messageOf([&] { q->FieldByName("Fname"); }), "ADOQuery1: Field 'Fname' not found");
    q->Close(); // closing a closed data set does nothing
    EXPECT_EQ(q->rowCount(), 0);
}

TEST_P(DataSetTest, OpenFailuresLeaveTheDataSetClosed) {
    auto bad = query("select * from no_such_table", "ADOQuery1");
    const std::string message = messageOf<EADOError>([&] { bad->Open(); });
    EXPECT_NE(message.find("no_such_table"), std::string::npos) << message;
    EXPECT_NE(message.back(), '.');
    EXPECT_NE(message.back(), ' ');
    EXPECT_FALSE(bad->Active());

    auto empty = query("", "ADOQuery3");
    empty->SQL().Add("  ");
    EXPECT_EQ(messageOf([&] { empty->Open(); }), "ADOQuery3: Missing SQL property");

    auto write = query("update student set Kurs = Kurs where Id_zach = -1", "ADOQuery4");
    EXPECT_EQ(messageOf([&] { write->Open(); }),
              "ADOQuery4: CommandText does not return a result set");
    EXPECT_FALSE(write->Active());
}

TEST_P(DataSetTest, AnOpenThatFailsAfterReadingLeavesNoFieldsAndNoRows) {
    // The rows are read, then sorting or following the master names a column
    // the table lacks.
    auto master = query("select Id_zach from student", "ADOQuery1");
    master->Open();
    TDataSource source("DataSource1");
    source.setDataSet(master.get());
    struct Case {
        const char* indexFields;
        const char* masterFields;
        const char* message;
    };
    for (const Case& c :
         {Case{"NoSuchColumn", "", "ADOTable3: Field 'NoSuchColumn' not found"},
          Case{"Id_zach", "NoSuchColumn", "ADOQuery1: Field 'NoSuchColumn' not found"},
          Case{"NoSuchColumn", "Id_zach", "ADOTable3: Field 'NoSuchColumn' not found"}}) {
        auto t = table("Platej", "ADOTable3");
        t->setIndexFieldNames(c.indexFields);
        t->setMasterFields(c.masterFields);
        t->setMasterSource(&source);
        EXPECT_EQ(messageOf([&] { t->Open(); }), c.message);
        EXPECT_EQ(t->State(), TDataSetState::dsInactive) << c.message;
        EXPECT_EQ(t->FieldCount(), 0) << c.message;
        EXPECT_EQ(t->FindField("Id_zach"), nullptr) << c.message;
        EXPECT_EQ(t->rowCount(), 0) << c.message;
        EXPECT_TRUE(t->IsEmpty()) << c.message;
    }
}

TEST_P(DataSetTest, DatabaseRefusalCarriesTheProvidersOwnDescription) {
    // STRICT SQLite and the server both refuse text an integer column cannot take.
    auto q = query("insert into student(Id_zach, Fname, Kurs) values (1, 'x', 'abc')");
    const std::string message = messageOf<EADOError>([&] { q->ExecSQL(); });
    if (pg())
        EXPECT_EQ(message, "invalid input syntax for type integer: \"abc\"");
    else
        EXPECT_EQ(message.rfind("cannot store TEXT value in INTEGER column", 0), 0u) << message;
}

TEST_P(DataSetTest, DisplayTextsFollowTheColumnKindAndLocale) {
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ShortDateFormat = "%d.%m.%Y";
    auto t = table("Platej");
    t->setIndexFieldNames("Id_platej");
    t->Open();
    t->First();
    while (!t->Eof() && t->FieldByName("Id_zach")->AsInteger() != 20571)
        t->Next();
    ASSERT_EQ(t->FieldByName("Summ")->DataType(), pg() ? TFieldType::ftBCD : TFieldType::ftFloat);
    EXPECT_EQ(t->FieldByName("Date_platej")->DataType(), TFieldType::ftDate);
    EXPECT_EQ(t->FieldByName("Summ")->DisplayText(), "900,5");
    EXPECT_EQ(t->FieldByName("Date_platej")->DisplayText(), "05.09.2026");
    EXPECT_EQ(t->FieldByName("Id_zach")->DisplayText(), "20571");
    EXPECT_EQ(t->FieldByName("Summ")->Alignment(), TAlignment::taRightJustify);

    auto nulls = query("select Lname, Kurs from student where Id_zach = 20571");
    nulls->Open();
    exec("update student set Lname = null where Id_zach = 20571");
    nulls->Close();
    nulls->Open();
    EXPECT_TRUE(nulls->FieldByName("Lname")->IsNull());
    EXPECT_EQ(nulls->FieldByName("Lname")->DisplayText(), "");
    TField* kurs = nulls->FieldByName("Kurs");
    nulls->Close();
    EXPECT_EQ(nulls->FieldCount(), 0); // fields are dropped at close
    (void)kurs;
}

TEST_P(DataSetTest, HeldRowsAreASnapshotAndRefreshAddsNoRows) {
    auto q = query("select Id_zach, Fname from student order by Id_zach");
    q->Open();
    const int count = q->RecordCount();
    q->MoveBy(1);
    const auto id = q->FieldByName("Id_zach")->AsInteger();
    exec("insert into student(Id_zach, Fname) values (99999, 'Новый')");
    exec("update student set Fname = 'Изменён' where Id_zach = " + std::to_string(id));
    EXPECT_EQ(q->RecordCount(), count);
    EXPECT_NE(q->FieldByName("Fname")->AsString(), "Изменён");

    q->Refresh();
    EXPECT_EQ(q->RecordCount(), count);
    EXPECT_EQ(q->RecNo(), 2);
    EXPECT_EQ(q->FieldByName("Fname")->AsString(), "Изменён");

    q->Close();
    q->Open();
    EXPECT_EQ(q->RecordCount(), count + 1);
}

TEST_P(DataSetTest, RefreshOfRowsWithoutAPrimaryKeySaysSoAndChangesNothing) {
    // Such rows cannot be found again: a result without the key, a join, a
    // table without a key.
    exec("create table nokey (a integer, b text)");
    exec("insert into nokey values (1, 'один'), (2, 'два')");
    for (const char* sql : {"select Fname, Kurs from student",
                            "select s.Id_zach, p.Summ from student s join Platej p on "
                            "p.Id_zach = s.Id_zach",
                            "select * from nokey"}) {
        auto q = query(sql, "ADOQuery2");
        q->Open();
        q->Next();
        const std::string shown = q->Fields(0)->DisplayText();
        exec("update nokey set b = 'изменено'");
        EXPECT_EQ(messageOf<EDatabaseError>([&] { q->Refresh(); }),
                  "ADOQuery2: Cannot refresh rows that have no primary key")
            << sql;
        EXPECT_EQ(q->RecNo(), 2) << sql;
        EXPECT_EQ(q->Fields(0)->DisplayText(), shown) << sql;
    }
    // A pending row is neither saved nor dropped by the refused refresh.
    auto t = table("nokey", "ADOTable1");
    t->Open();
    t->Edit();
    t->FieldByName("b")->setAsString("не сохранится");
    EXPECT_FALSE(messageOf<EDatabaseError>([&] { t->Refresh(); }).empty());
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t->FieldByName("b")->AsString(), "не сохранится");
    EXPECT_EQ(scalar("select count(*) from nokey where b = 'не сохранится'"), "0");
}

TEST_P(DataSetTest, ReplacingASqlLineClosesTheQueryAndParsesAnew) {
    auto q = std::make_unique<TADOQuery>("ADOQuery1");
    q->setConnection(connection.get());
    q->SQL().assignDeclared({"select *", "from student", ""});
    EXPECT_FALSE(connection->Connected()); // declared text asks the database nothing
    q->Open();
    q->Edit();
    q->FieldByName("Fname")->setAsString("не сохранится");
    q->SQL().setLine(2, ""); // the same text still closes, dropping the pending row
    EXPECT_FALSE(q->Active());
    const int connects = connection->connectCount();
    q->SQL().setLine(2, "where Id_zach='20571'");
    EXPECT_EQ(connection->connectCount(), connects);
    EXPECT_FALSE(q->Active());
    q->Open();
    EXPECT_EQ(q->RecordCount(), 1);
    EXPECT_EQ(q->FieldByName("Fname")->AsString(), "Петров");
    EXPECT_EQ(scalar("select count(*) from student where Fname = 'не сохранится'"), "0");
}

TEST_P(DataSetTest, AFailedConnectStaysDisconnectedAndTheNextNeedTriesAgain) {
    std::string good = connectionString;
    if (pg())
        connection->setConnectionString(good + "x"); // a port nobody listens on
    else
        connection->setConnectionString("Provider=SQLite;Data Source=" + path + ".missing");
    auto q = query("select *\nfrom student", "ADOQuery1");
    EXPECT_FALSE(messageOf<EADOError>([&] { q->Open(); }).empty());
    EXPECT_FALSE(connection->Connected());
    EXPECT_FALSE(q->Active());
    // A SQL text change needs the connection too, but its failure is silent.
    EXPECT_NO_THROW(q->SQL().setLine(0, "select Id_zach"));
    connection->setConnectionString(good);
    q->Open();
    EXPECT_TRUE(connection->Connected());
    EXPECT_TRUE(q->Active());
}

TEST_P(DataSetTest, ExecuteRunsOnceAndDoesNotOpen) {
    auto q = query("update student set Kurs = 2 where Id_zach = 20571");
    EXPECT_EQ(q->ExecSQL(), 1);
    EXPECT_FALSE(q->Active());
    EXPECT_EQ(scalar("select Kurs from student where Id_zach = 20571"), "2");
}

TEST_P(DataSetTest, OneStatementPerTextForOpenAndExecuteAlike) {
    // Trailing blanks, line ends, comments and one ';' are no second statement.
    for (const char* tail : {"", ";", " ;  \n \n", "\n-- the end\n", " /* done */ ;"}) {
        auto read = query(std::string("select Id_zach from student where Id_zach = 20571") + tail);
        read->Open();
        EXPECT_EQ(read->RecordCount(), 1) << tail;
        auto write = query(std::string("update student set Kurs = 4 where Id_zach = 20571") + tail);
        EXPECT_EQ(write->ExecSQL(), 1) << tail;
    }
    // A second statement is refused before anything runs, by Open and Execute alike.
    const std::string refused = pg() ? "cannot insert multiple commands into a prepared statement"
                                     : "the command text holds more than one statement";
    const std::string second = "; delete from Platej where Id_zach = 20571";
    const int payments = std::stoi(scalar("select count(*) from Platej where Id_zach = 20571"));
    auto read = query("select Kurs from student where Id_zach = 20571" + second);
    EXPECT_EQ(messageOf<EADOError>([&] { read->Open(); }), refused);
    EXPECT_FALSE(read->Active());
    auto write = query("update student set Kurs = 5 where Id_zach = 20571" + second);
    EXPECT_EQ(messageOf<EADOError>([&] { write->ExecSQL(); }), refused);
    auto twoReads = query("select 1 as one;\nselect 2 as two");
    EXPECT_EQ(messageOf<EADOError>([&] { twoReads->Open(); }), refused);
    EXPECT_EQ(scalar("select Kurs from student where Id_zach = 20571"), "4");
    EXPECT_EQ(scalar("select count(*) from Platej where Id_zach = 20571"),
              std::to_string(payments));
}

INSTANTIATE_DB_TEST(DataSetTest);

// ---- a connection the server dropped -------------------------------------------

class ReconnectTest : public DbTest {};

std::string pgSocketDir() {
    const std::string info = testsupport::testPgConninfo();
    const auto at = info.find("host=");
    return info.substr(at + 5, info.find(' ', at) - at - 5);
}

void dropOurConnections() {
    testsupport::execPostgres("select pg_terminate_backend(pid) from pg_stat_activity "
                              "where application_name = 'ZEMT' and pid <> pg_backend_pid()");
}

void restartServer() {
    const std::string command = "runuser -u postgres -- /usr/lib/postgresql/15/bin/pg_ctl -D " +
                                pgSocketDir() + "/data -m fast -w restart >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

TEST_P(ReconnectTest, TheOperationAfterADroppedConnectionConnectsAgain) {
    if (!pg())
        GTEST_SKIP();
    for (auto drop : {dropOurConnections, restartServer}) {
        auto q = query("select * from student", "ADOQuery1");
        q->Open();
        q->Close();
        const int connects = connection->connectCount();
        drop();
        // The failing operation reports the provider's error ...
        EXPECT_FALSE(messageOf<EADOError>([&] { q->Open(); }).empty());
        EXPECT_FALSE(q->Active());
        EXPECT_FALSE(connection->Connected());
        // ... and the next one connects afresh.
        q->Open();
        EXPECT_TRUE(q->Active());
        EXPECT_EQ(connection->connectCount(), connects + 1);
    }
}

TEST_P(ReconnectTest, AWriteOnADroppedConnectionIsNotSentAgain) {
    if (!pg())
        GTEST_SKIP();
    auto q = query("select Id_zach, Kurs from student where Id_zach = 20571");
    q->Open();
    q->Edit();
    q->FieldByName("Kurs")->setAsInteger(5);
    dropOurConnections();
    EXPECT_FALSE(messageOf<EADOError>([&] { q->Post(); }).empty());
    EXPECT_EQ(q->State(), TDataSetState::dsEdit); // still pending, nothing saved
    EXPECT_EQ(scalar("select Kurs from student where Id_zach = 20571"), "3");
    q->Post(); // the operator saves again: a new connection, one update
    EXPECT_EQ(scalar("select Kurs from student where Id_zach = 20571"), "5");
}

INSTANTIATE_DB_TEST(ReconnectTest);

} // namespace
