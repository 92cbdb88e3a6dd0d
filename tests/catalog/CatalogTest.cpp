// The ZEMT catalog as the database itself enforces it, on both databases,
// through the databases' own client libraries.
#include "tests/support/Catalogs.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <memory>
#include <stdexcept>

using namespace testsupport;

namespace {

struct Catalog {
    std::function<void(const std::string&)> exec;
    std::function<std::string(const std::string&)> scalar;
};

enum class Kind { SQLite, PostgreSQL };

Catalog makeCatalog(Kind kind) {
    if (kind == Kind::SQLite) {
        auto path = std::make_shared<std::string>(makeTempSqliteCatalog());
        return {[path](const std::string& sql) { execSqlite(*path, sql); },
                [path](const std::string& sql) { return queryScalarSqlite(*path, sql); }};
    }
    resetPostgresCatalog();
    return {execPostgres, queryScalarPostgres};
}

std::string today() {
    char text[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

class CatalogTest : public testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        if (GetParam() == Kind::PostgreSQL && testPgConninfo().empty())
            GTEST_SKIP() << "no PostgreSQL test cluster";
        db = makeCatalog(GetParam());
    }
    void expectRefused(const std::string& sql) {
        EXPECT_THROW(db.exec(sql), std::runtime_error) << sql;
    }
    Catalog db;
};

} // namespace

TEST_P(CatalogTest, FreePlacesViewListsExactlyTheRoomsWithRoomLeft) {
    EXPECT_EQ(db.scalar("select count(*) from svobodn"),
              db.scalar("select count(*) from Room r where r.Kol_mest > "
                        "(select count(*) from Vselenie v where v.Id_room = r.id_room)"));
    EXPECT_EQ(db.scalar("select count(*) from svobodn where \"Свободно мест\" <= 0"), "0");
    // A room with nobody in it offers all its places.
    EXPECT_EQ(db.scalar("select count(*) from svobodn s join Room r on r.id_room = s.\"Комната\" "
                        "where not exists (select * from Vselenie v where v.Id_room = r.id_room) "
                        "and (s.\"Свободно мест\" <> r.Kol_mest or s.\"Корпус\" <> r.Korpus)"),
              "0");
}

TEST_P(CatalogTest, DemoDataHasFullPartlyFreeAndEmptyRooms) {
    const std::string occupied = "(select count(*) from Vselenie v where v.Id_room = r.id_room)";
    EXPECT_NE(db.scalar("select count(*) from Room r where " + occupied + " = r.Kol_mest"), "0");
    EXPECT_NE(db.scalar("select count(*) from Room r where " + occupied +
                        " between 1 and r.Kol_mest - 1"),
              "0");
    EXPECT_NE(db.scalar("select count(*) from Room r where " + occupied + " = 0"), "0");
    EXPECT_EQ(db.scalar("select Fname from student where Id_zach = 20571"), "Петров");
}

TEST_P(CatalogTest, NamesResolveWhateverTheirCase) {
    EXPECT_EQ(db.scalar("select count(*) from PLATEJ"), db.scalar("select count(*) from platej"));
    EXPECT_EQ(db.scalar("select max(ID_room) from room"),
              db.scalar("select max(id_room) from Room"));
}

TEST_P(CatalogTest, DatabaseSuppliesTodayForDatesLeftOut) {
    db.exec("insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ) "
            "values ('20571','desk 2','март','500')");
    EXPECT_EQ(db.scalar("select Date_platej from Platej where Kashier_fname = 'desk 2'"), today());
    const std::string emptyRoom =
        db.scalar("select min(id_room) from Room r where not exists "
                  "(select * from Vselenie v where v.Id_room = r.id_room)");
    db.exec("insert into vselenie(id_zach, Id_room) values (20572, " + emptyRoom + ")");
    EXPECT_EQ(db.scalar("select Date_vselenie from Vselenie where Id_zach = 20572 and Id_room = " +
                        emptyRoom),
              today());
}

TEST_P(CatalogTest, RefusesWhatWouldBreakTheRecords) {
    const std::string fullRoom =
        db.scalar("select min(id_room) from Room r where r.Kol_mest = "
                  "(select count(*) from Vselenie v where v.Id_room = r.id_room)");
    const std::string withPayments = db.scalar("select min(Id_zach) from Platej");
    // No place left in the room.
    expectRefused("insert into vselenie(id_zach, Id_room) values (20572, " + fullRoom + ")");
    // Check-ins and payments still refer to the student: nothing is cascaded away.
    expectRefused("delete from student where Id_zach = " + withPayments);
    EXPECT_EQ(db.scalar("select count(*) from student where Id_zach = " + withPayments), "1");
    // Text the column cannot take.
    expectRefused("insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ) values "
                  "('abc','x','март','1')");
    expectRefused("insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ) values "
                  "('20571','x','март','abc')");
    // Unknown student or room.
    expectRefused("insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ) values "
                  "('1','x','март','1')");
    expectRefused("insert into vselenie(id_zach, Id_room) values (20572, 999999)");
    // Numbers written as text convert.
    db.exec("insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ) values "
            "('20571','x','март','500')");
}

TEST_P(CatalogTest, CyrillicAndQuotesAreStoredUnchanged) {
    db.exec("insert into student(Id_zach, Fname, Lname, Fakultet, Kurs) "
            "values (99001, 'Ёлкина-O''Hara', 'Алёна', 'Физико-математический', 1)");
    EXPECT_EQ(db.scalar("select Fname from student where Id_zach = 99001"), "Ёлкина-O'Hara");
}

INSTANTIATE_TEST_SUITE_P(Databases, CatalogTest, testing::Values(Kind::SQLite, Kind::PostgreSQL),
                         [](const auto& info) {
                             return info.param == Kind::SQLite ? "SQLite" : "PostgreSQL";
                         });
