// The shipped report's layout: a student and the student's payments stay on
// one page, a block that goes on repeats the student marked as continued,
// texts keep inside their columns, sums and dates follow the workstation's
// formats, and a payment with nothing in it prints nothing.
#include "MemoryDataSet.h"

#include "data/values/FormatSettings.h"
#include "report/ProjectFile.h"
#include "report/ReportDataConnection.h"
#include "report/ReportGenerator.h"
#include "report/ReportTextFit.h"
#include "zemt/BuildConfig.h"

#include <QApplication>
#include <QFontMetricsF>
#include <functional>
#include <gtest/gtest.h>
#include <set>

using namespace report;

namespace {

using Rows = std::vector<std::vector<std::optional<QString>>>;

const QString kContinued = QStringLiteral("(продолжение)");
const QString kFaculty = QStringLiteral("Экономический");

/// Students 20000 + i; `paymentsOf(i)` payments each, their month "м<i>-<n>".
struct Catalog {
    MemoryDataSet students;
    MemoryDataSet payments;
    TReportDataSetConnection c1{QStringLiteral("ReportConnection1"), &students};
    TReportDataSetConnection c2{QStringLiteral("ReportConnection2"), &payments};
    Catalog(Rows s, Rows p)
        : students({"Id_zach", "Fname", "Lname", "Fakultet", "Kurs"}, std::move(s)),
          payments({"Id_zach", "Kashier_fname", "Month_oplat", "Summ", "Date_platej"},
                   std::move(p)) {}
};

Rows studentRows(int count) {
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({QString::number(20000 + i), QStringLiteral("Фамилия%1").arg(i),
                        QStringLiteral("Иван"), kFaculty, QStringLiteral("2")});
    return rows;
}

Rows paymentRows(int students, const std::function<int(int)>& paymentsOf) {
    Rows rows;
    for (int i = 0; i < students; ++i)
        for (int n = 0; n < paymentsOf(i); ++n)
            rows.push_back({QString::number(20000 + i), QStringLiteral("Иванова"),
                            QStringLiteral("м%1-%2").arg(i).arg(n), QStringLiteral("850"),
                            QStringLiteral("05.09.2026")});
    return rows;
}

ReportPages generate() {
    const Project project = loadProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    ReportGenerator gen(project, *project.activeReport());
    gen.printDate = QDate(2024, 5, 17);
    EXPECT_EQ(gen.run(), ReportGenerator::Status::Done);
    return gen.takePages();
}

/// A line of the body: a student (with the number) or a payment (its month).
struct Line {
    bool student;
    int number; ///< the student's, for payments too
    QString text;
    bool continued = false;
};

/// The body lines of a page, top to bottom.
std::vector<Line> bodyLines(const ReportPage& page) {
    std::vector<const PageItem*> items;
    for (const PageItem& item : page.items)
        if (item.kind == PageItem::Kind::Text)
            items.push_back(&item);
    std::vector<Line> lines;
    for (const PageItem* item : items) {
        if (item->text.startsWith(u'2') && item->text.size() == 5) {
            lines.push_back({true, item->text.toInt() - 20000, item->text});
        } else if (item->text.startsWith(QStringLiteral("м"))) {
            const int number = item->text.mid(1).section(u'-', 0, 0).toInt();
            lines.push_back({false, number, item->text});
        } else if (item->text == kContinued && !lines.empty()) {
            lines.back().continued = true;
        }
    }
    return lines;
}

} // namespace

TEST(Layout, AStudentStaysWithThePaymentsAndALongBlockRepeatsTheStudent) {
    // Student 13 has more payments than one page holds; the others have 7.
    const auto paymentsOf = [](int i) { return i == 13 ? 70 : 7; };
    Catalog data(studentRows(40), paymentRows(40, paymentsOf));
    const ReportPages pages = generate();
    ASSERT_GT(pages.pageCount(), 3);

    std::vector<int> printed(40, 0);
    std::vector<std::set<int>> pagesOf(40);
    for (int p = 0; p < pages.pageCount(); ++p) {
        const std::vector<Line> lines = bodyLines(pages.pages[size_t(p)]);
        ASSERT_FALSE(lines.empty()) << p;
        // Every page begins with a student line, never with a payment.
        EXPECT_TRUE(lines.front().student) << "page " << p + 1;
        // The last student of a page has a payment below it on that page.
        const Line& last = lines.back();
        EXPECT_FALSE(last.student) << "page " << p + 1 << " ends with student " << last.number;
        for (size_t i = 0; i < lines.size(); ++i) {
            const Line& line = lines[i];
            pagesOf[size_t(line.number)].insert(p);
            if (!line.student) {
                ++printed[size_t(line.number)];
                continue;
            }
            // A repeated student line is the first of its page, and marked.
            const bool repeated = p > 0 && pagesOf[size_t(line.number)].count(p - 1) > 0;
            EXPECT_EQ(line.continued, repeated) << "page " << p + 1 << " student " << line.number;
            if (line.continued) {
                EXPECT_EQ(i, 0u);
            }
        }
    }
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(printed[size_t(i)], paymentsOf(i)) << i; // each payment once
        if (i != 13) {
            EXPECT_EQ(pagesOf[size_t(i)].size(), 1u) << "student " << i << " was split";
        }
    }
    EXPECT_GE(pagesOf[13].size(), 2u);
}

TEST(Layout, SumsDatesClippingAndEmptyPayments) {
    TFormatSettings& formats = FormatSettings();
    const TFormatSettings saved = formats;
    formats.DecimalSeparator = ',';
    formats.ShortDateFormat = "%d/%m/%Y";
    const QString longName = QStringLiteral("Преображенская-Александровская-Долгорукова");
    Catalog data(
        Rows{{"20571", longName, "Иван", "Информационных технологий и прикладной математики", "3"},
             {"20572", "Королёва", "Анна", "Экономический", "2"},
             {"20573", "O'Neil", "Патрик", "Филологический", "1"}},
        Rows{{"20571", "Иванова", "сентябрь", "900.5", "05/09/2026"},
             {"20571", "Иванова", "октябрь", "1234567.891", "08/10/2026"},
             {"20572", "Иванова", "ноябрь", "850", "08/11/2026"},
             {"20572", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
             {"20573", "", std::nullopt, std::nullopt, ""}});
    const ReportPages pages = generate();
    formats = saved;
    ASSERT_EQ(pages.pageCount(), 1);

    QStringList texts;
    int headings = 0;
    const PageItem* sum = nullptr;
    for (const PageItem& item : pages.pages[0].items) {
        // Nothing leaves the printable area (210 mm less 15 mm margins).
        EXPECT_GE(item.rect.left(), 15 - 1e-6) << item.text.toStdString();
        EXPECT_LE(item.rect.right(), 195 + 1e-6) << item.text.toStdString();
        if (item.kind != PageItem::Kind::Text)
            continue;
        texts << item.text;
        headings += item.text == QStringLiteral("Месяц");
        if (item.text == QStringLiteral("900,50"))
            sum = &item;
        // Every text fits its own column.
        const QFontMetricsF metrics(pageFont(pages.fonts[item.font]));
        EXPECT_LE(metrics.horizontalAdvance(item.text) / kUnitsPerMm, item.rect.width() + 1e-6)
            << item.text.toStdString();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("17/05/2024"))); // the grids' date format
    EXPECT_TRUE(texts.contains(QStringLiteral("1234567,89")));
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->align, Align::Right);
    // The long texts are cut and end in an ellipsis.
    EXPECT_FALSE(texts.contains(longName));
    EXPECT_EQ(texts.filter(QStringLiteral("Преобр")).value(0).right(1), QStringLiteral("…"));
    EXPECT_EQ(texts.filter(QStringLiteral("Информационных")).value(0).right(1),
              QStringLiteral("…"));
    // Королёва's empty payment adds no line, and O'Neil, with nothing but
    // an empty payment, gets no payment heading either.
    EXPECT_EQ(headings, 2);
    const int oneil = int(texts.indexOf(QStringLiteral("O'Neil")));
    ASSERT_GE(oneil, 0);
    EXPECT_FALSE(texts.mid(oneil).contains(QStringLiteral("Месяц")));
}

TEST(Layout, FittingCutsOnlyWhatDoesNotFit) {
    TextFitter column(FontSpec(), 20);
    EXPECT_EQ(column.fit(QStringLiteral("Иван")), QStringLiteral("Иван"));
    EXPECT_EQ(column.fit(QStringLiteral("Иван")), QStringLiteral("Иван")); // remembered
    for (int twice = 0; twice < 2; ++twice) {
        const QString cut = column.fit(QStringLiteral("Информационных технологий"));
        EXPECT_TRUE(cut.endsWith(u'…'));
        EXPECT_TRUE(QStringLiteral("Информационных технологий").startsWith(cut.chopped(1)));
    }
    EXPECT_TRUE(TextFitter(FontSpec(), 0).fit(QStringLiteral("Иван")).isEmpty());
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
