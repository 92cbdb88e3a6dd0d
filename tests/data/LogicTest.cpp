// Pure rules of the data layer: markers, restriction texts, display texts,
// held-row storage. No database.
#include "data/connection/Provider.h"
#include "data/dataset/MarkerParser.h"
#include "data/dataset/TField.h"
#include "data/rows/Restriction.h"
#include "data/rows/RowStore.h"
#include "data/values/DateTimeText.h"
#include "data/values/FormatSettings.h"
#include "data/values/Names.h"

#include <gtest/gtest.h>

using namespace zemt::data;

TEST(MarkerParsing, MarkersBecomePlaceholdersOutsideLiterals) {
    struct Case {
        const char* sql;
        const char* text;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"VALUES ( :D2, :D1)", "VALUES ( ?, ?)", {"D2", "D1"}},
        {"where a=:x;", "where a=?;", {"x"}},
        {"where a=:x\r\nand b=:y\nor c=:z", "where a=?\r\nand b=?\nor c=?", {"x", "y", "z"}},
        {"select ':no', \":no\", `:no` from t where a = :yes",
         "select ':no', \":no\", `:no` from t where a = ?",
         {"yes"}},
        {"select \"it's\" from t where a = :x", "select \"it's\" from t where a = ?", {"x"}},
        {"select a::int, '::' from t", "select a:int, '::' from t", {}},
        {"a = :p(1)", "a = ?)", {"p(1"}}, // only blank , ; ) CR LF end a name
        {"a = :p=1 or b=:", "a = ? or b=?", {"p=1", ""}},
        {"no markers at all", "no markers at all", {}},
    };
    for (const Case& c : cases) {
        const ParsedStatement p = parseMarkers(c.sql);
        EXPECT_EQ(p.text, c.text) << c.sql;
        EXPECT_EQ(p.names, c.names) << c.sql;
    }
}

TEST(RestrictionText, QuotesFollowTheDetailColumnKind) {
    FormatSettings() = TFormatSettings{'.', "%d.%m.%Y", "%H:%M:%S"};
    using T = TFieldType;
    struct Case {
        std::vector<RestrictionTerm> terms;
        const char* text;
    };
    const Case cases[] = {
        {{{"Id_zach", T::ftInteger, Variant(20571), T::ftInteger}}, "(Id_zach=20571)"},
        {{{"Fname", T::ftString, Variant("Петров"), T::ftString}}, "(Fname='Петров')"},
        {{{"Fname", T::ftString, Variant("O'Neil"), T::ftString}}, "(Fname=#O'Neil#)"},
        {{{"Code", T::ftString, Variant(7), T::ftInteger}}, "(Code='7')"},
        {{{"Date_platej", T::ftDate, Variant::date(daysFromCivil(2026, 9, 5)), T::ftDate}},
         "(Date_platej=#05.09.2026#)"},
        {{{"Id_zach", T::ftInteger, Variant(), T::ftInteger}}, "(Id_zach=Null)"},
        {{{"Fname", T::ftString, Variant(), T::ftString}}, "(Fname=Null)"},
        {{{"Свободно мест", T::ftInteger, Variant(2), T::ftInteger}}, "([Свободно мест]=2)"},
        {{{"a", T::ftInteger, Variant(1), T::ftInteger},
          {"b", T::ftString, Variant("x"), T::ftString}},
         "(a=1) AND (b='x')"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buildRestriction(c.terms), c.text);
        const auto parsed = parseRestriction(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->size(), c.terms.size());
        EXPECT_EQ((*parsed)[0].value.has_value(), !c.terms[0].value.isNull()) << c.text;
    }
    EXPECT_FALSE(parseRestriction("Id_zach > 5"));
}

TEST(DisplayText, ByColumnKindAndTheWorkstationsFormats) {
    FormatSettings() = TFormatSettings{',', "%d.%m.%Y", "%H:%M:%S"};
    using T = TFieldType;
    const std::int64_t day = daysFromCivil(2026, 9, 5);
    struct Case {
        T kind;
        Variant value;
        const char* text;
    };
    const Case cases[] = {
        {T::ftInteger, Variant(-42), "-42"},
        {T::ftInteger, Variant(1234567), "1234567"},
        {T::ftBCD, Variant(900.5), "900,5"},
        {T::ftBCD, Variant(850.0), "850"},
        {T::ftFloat, Variant(0.1), "0,1"},
        {T::ftFloat, Variant(1.0 / 3.0), "0,333333333333333"},
        {T::ftFloat, Variant(1e20), "1E20"},
        {T::ftDate, Variant::date(day), "05.09.2026"},
        {T::ftTime, Variant::time((13 * 3600 + 5 * 60 + 9) * kMicrosPerSecond), "13:05:09"},
        {T::ftDateTime, Variant::dateTime(day * kMicrosPerDay), "05.09.2026"},
        {T::ftDateTime, Variant::dateTime(day * kMicrosPerDay + 3600 * kMicrosPerSecond),
         "05.09.2026 01:00:00"},
        {T::ftString, Variant(" с пробелами "), " с пробелами "},
        {T::ftBoolean, Variant(true), "True"},
        {T::ftString, Variant(), ""},
        {T::ftDate, Variant(), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatDisplayText(c.kind, c.value), c.text) << c.text;
    FormatSettings().ShortDateFormat = "%m/%d/%y";
    EXPECT_EQ(formatDisplayText(T::ftDate, Variant::date(day)), "09/05/26");
    EXPECT_EQ(parseDatePattern("%m/%d/%y", "09/05/26"), day);
    EXPECT_EQ(parseDatePattern("%d.%m.%Y", "5.9.2026"), day);
    EXPECT_FALSE(parseDatePattern("%d.%m.%Y", "31.02.2026"));
}

TEST(DisplayText, TimesInEveryLongTimeFormatALocaleMayHave) {
    // Long time formats as locales give them, %r the commonest that used to
    // show nothing; the locale's own 12-hour pattern and AM/PM words apply.
    FormatSettings() = TFormatSettings{'.', "%d.%m.%Y", "%H:%M:%S"};
    const auto at = [](int h, int m, int s) {
        return Variant::time(((h * 60 + m) * 60 + s) * kMicrosPerSecond);
    };
    struct Case {
        const char* format;
        Variant value;
        const char* text;
    };
    const Case cases[] = {
        {"%r", at(13, 5, 9), "01:05:09 PM"},
        {"%r", at(0, 30, 0), "12:30:00 AM"},
        {"%T", at(13, 5, 9), "13:05:09"},
        {"%R", at(9, 5, 0), "09:05"},
        {"%l:%M:%S %p", at(9, 5, 0), " 9:05:00 AM"},
        {"%-l:%M %P", at(21, 5, 0), "9:05 pm"},
        {"%k:%M:%S", at(7, 0, 1), " 7:00:01"},
        {"%I.%M.%S %p", at(12, 0, 0), "12.00.00 PM"},
        {"%OH:%OM:%OS", at(23, 59, 58), "23:59:58"},
        {"%I:%M:%S %p %Z", at(18, 0, 0), "06:00:00 PM"}, // a time of day has no zone
        {"%Z %I:%M:%S %p", at(18, 0, 0), "06:00:00 PM"},
        {"kl. %H.%M %z", at(8, 15, 0), "kl. 08.15"},
        {"%H時%M分%S秒", at(8, 15, 0), "08時15分00秒"},
        {"%_H:%M", at(8, 15, 0), " 8:15"},
        {"%%%H", at(8, 15, 0), "%08"},
    };
    for (const Case& c : cases) {
        FormatSettings().LongTimeFormat = c.format;
        EXPECT_EQ(formatDisplayText(TFieldType::ftTime, c.value), c.text) << c.format;
    }
    FormatSettings().LongTimeFormat = "%r";
    FormatSettings().TimeAmPmFormat = "%p %I:%M";
    FormatSettings().TimeAMString = "дп";
    FormatSettings().TimePMString = "пп";
    EXPECT_EQ(formatDisplayText(TFieldType::ftTime, at(15, 40, 0)), "пп 03:40");
    EXPECT_EQ(formatDisplayText(TFieldType::ftDateTime,
                                Variant::dateTime(daysFromCivil(2026, 9, 5) * kMicrosPerDay +
                                                  at(9, 1, 0).intValue())),
              "05.09.2026 дп 09:01");
    FormatSettings().TimeAmPmFormat = "%r"; // refers to itself: the plain 12-hour form
    EXPECT_EQ(formatDisplayText(TFieldType::ftTime, at(15, 40, 0)), "03:40:00 пп");
}

TEST(HeldRows, CellsNeedNoAllocationAndKindsWidenWhenNeeded) {
    RowStore rows;
    rows.reset({TFieldType::ftInteger, TFieldType::ftString, TFieldType::ftDate});
    const std::string longText(20000000, 'x'); // longer than the 24-bit length field
    for (int i = 0; i < 1000; ++i) {
        const auto r = rows.appendRow();
        rows.setInt(r, 0, i);
        if (i % 7)
            rows.setText(r, 1, i == 500 ? std::string_view(longText) : std::string_view("Иванов"));
        rows.setInt(r, 2, 20000 + i);
    }
    EXPECT_TRUE(rows.isNull(0, 1));
    EXPECT_EQ(rows.textAt(1, 1), "Иванов");
    EXPECT_EQ(rows.textAt(500, 1).size(), longText.size());
    EXPECT_EQ(rows.get(999, 2), Variant::date(20999));
    rows.convertColumn(0, TFieldType::ftFloat);
    EXPECT_EQ(rows.get(3, 0), Variant(3.0));
    rows.set(3, 0, Variant("2.5"));
    EXPECT_EQ(rows.get(3, 0), Variant(2.5));
    EXPECT_LT(rows.compare(1, 2, 0), 0);
    EXPECT_EQ(rows.hash(7, 1), rows.hash(14, 1)); // both null
}

TEST(Names, CaseIsIgnoredForLatinAndCyrillicAndInvalidUtf8ComparesBytewise) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"Id_Zach", "ID_ZACH", true},
        {"КОМНАТА", "Комната", true},
        {"СВОБОДНО МЕСТ", "Свободно мест", true},
        {"ЁЛКА", "ёлка", true},
        {"Ё", "Е", false}, // a different letter, not a case
        {"ҐАНОК", "ґанок", true},
        {"ÄÖÜÉ", "äöüé", true},
        {"ŁÓDŹ", "łódź", true},
        {"Straße", "STRASSE", false}, // one letter never folds to two
        {"Комната", "Комнат", false},
        {"A\xFF", "a\xFF", true}, // the valid part still folds
        {"\xD0", "\xD0", true},   // a truncated sequence equals itself
        {"\xD0\x9A", "\xD0", false},
        {"\xC0\x80", "\xC0\x81", false}, // overlong: raw bytes, compared as they are
        {"\xD0\xC0", "\xD0\xE0", false}, // not folded as if 0xC0 were À
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sameName(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(sameName(c.b, c.a), c.same) << c.b << " / " << c.a;
        EXPECT_EQ(lowerName(c.a) == lowerName(c.b), c.same) << c.a << " / " << c.b;
    }
    EXPECT_EQ(lowerName("КОМНАТА Ё Id_Zach"), "комната ё id_zach");
    EXPECT_EQ(lowerName("\xD0\x9A\xFF"), "\xD0\xBA\xFF");
}

TEST(ConnectionStrings, KeysIgnoreCaseAndTheProviderIsChosenByName) {
    ConnectionString cs("Provider=PostgreSQL;Integrated Security=SSPI;Persist Security Info=False;"
                        "Initial Catalog=ZEMT;data source=/tmp/x; Port = 5432");
    EXPECT_EQ(cs.value("DATA SOURCE"), "/tmp/x");
    EXPECT_EQ(cs.value("port"), "5432");
    EXPECT_EQ(cs.value("Initial Catalog"), "ZEMT");
    EXPECT_FALSE(cs.has("User ID"));
    EXPECT_NE(makeProvider("Provider=sqlite;Data Source=/nowhere"), nullptr);
    EXPECT_THROW(makeProvider("Provider=SQLOLEDB.1;Data Source=."), std::exception);
}
