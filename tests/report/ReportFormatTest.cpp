// Project and snapshot files, and the pure rules of the output system: no
// QApplication, no windows.
#include "report/BinaryStream.h"
#include "report/ProjectFile.h"
#include "report/ReportDataTypes.h"
#include "report/ReportErrors.h"
#include "report/ReportOutput.h"
#include "report/ReportSystem.h"
#include "report/Snapshot.h"
#include "tools/rpjmake/LayoutJson.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

namespace {

QByteArray shippedLayoutJson() {
    QFile f(QStringLiteral(ZEMT_SHIPPED_LAYOUT));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

QByteArray header(const char* signature, std::uint32_t version, std::uint8_t flag) {
    BinaryWriter w;
    w.bytes(QByteArray(signature, 4));
    w.u32(version);
    w.u8(flag);
    return w.data();
}

std::string decodeError(const QByteArray& bytes) {
    try {
        decodeProject(bytes, QStringLiteral("p.rpj"));
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(ProjectFile, HeaderFailures) {
    struct Case {
        const char* what;
        QByteArray bytes;
        std::string expected; // the message, or a part of it
    };
    const Case cases[] = {
        {"short file", QByteArray("RPJ"), "Invalid Project Format"},
        {"wrong letters", header("RPX\x1A", kProjectFileVersion, 0), "Invalid Project Format"},
        {"wrong marker byte", header("RPJ\x1B", kProjectFileVersion, 0), "Invalid Project Format"},
        {"flag set", header("RPJ\x1A", kProjectFileVersion, 1), "Invalid Project Header Code"},
        {"flag set, other value", header("RPJ\x1A", 40004, 0xFF), "Invalid Project Header Code"},
        {"newer version", header("RPJ\x1A", kProjectFileVersion + 1, 0),
         "has version 40101; this program reads versions up to 40100"},
        {"older version", header("RPJ\x1A", 40004, 0), "has version 40004, which this program"},
        {"header cut short", QByteArray("RPJ\x1A\x01\x02", 6), "unexpected end of data"},
    };
    for (const Case& c : cases) {
        const std::string message = decodeError(c.bytes);
        EXPECT_NE(message.find(c.expected), std::string::npos) << c.what << ": " << message;
        if (c.expected.rfind("Invalid", 0) == 0) {
            EXPECT_EQ(message, c.expected) << c.what;
        }
    }
}

TEST(ProjectFile, ZeroLengthGivesOneReportOfOneBlankPage) {
    const Project p = decodeProject(QByteArray(), QStringLiteral("empty.rpj"));
    ASSERT_EQ(p.reports.size(), 1u);
    ASSERT_NE(p.activeReport(), nullptr);
    EXPECT_TRUE(p.activeReport()->bands.empty());
    EXPECT_TRUE(p.dataViews.empty());
}

TEST(ProjectFile, ShippedLayoutRoundTripsAndNamesBothConnections) {
    const Project p = projectFromJson(shippedLayoutJson());
    const QByteArray bytes = encodeProject(p);
    ASSERT_TRUE(bytes.startsWith(QByteArray("RPJ\x1A", 4)));
    const Project back = decodeProject(bytes, QStringLiteral("Project1.rpj"));
    EXPECT_EQ(encodeProject(back), bytes);
    ASSERT_NE(back.activeReport(), nullptr);
    EXPECT_EQ(back.activeReport()->name, QStringLiteral("StudentPayments"));
    ASSERT_EQ(back.dataViews.size(), 2u);
    EXPECT_EQ(back.findDataView(QStringLiteral("students"))->connection,
              QStringLiteral("ReportConnection1"));
    EXPECT_EQ(back.findDataView(QStringLiteral("PAYMENTS"))->connection,
              QStringLiteral("ReportConnection2"));
}

TEST(ProjectFile, ActiveReportIsTheSavedNameExactlyElseTheFirst) {
    Project p;
    p.reports.resize(2);
    p.reports[0].name = QStringLiteral("One");
    p.reports[1].name = QStringLiteral("Two");
    p.savedActiveReport = QStringLiteral("Two");
    EXPECT_EQ(p.activeReport(), &p.reports[1]);
    p.savedActiveReport = QStringLiteral("two"); // exact comparison
    EXPECT_EQ(p.activeReport(), &p.reports[0]);
    p.reports.clear();
    EXPECT_EQ(p.activeReport(), nullptr);
}

TEST(ProjectFile, DamagedBodyIsAnErrorNeverACrash) {
    const QByteArray good = encodeProject(projectFromJson(shippedLayoutJson()));
    // Every truncation after the signature ends in a clear error.
    for (qsizetype n = 4; n < good.size(); ++n) {
        const std::string message = decodeError(good.left(n));
        EXPECT_NE(message, "(no error)") << "cut at " << n;
    }
    // Changed bytes either still decode or give an error; lengths that
    // claim more than the file holds must not allocate or loop.
    for (qsizetype i = 9; i < good.size(); ++i)
        for (char v : {char(0x00), char(0x7F), char(0xFF)}) {
            QByteArray bad = good;
            bad[i] = v;
            try {
                decodeProject(bad, QStringLiteral("bad.rpj"));
            } catch (const Exception&) {
            }
        }
    const std::string unknownView = [&] {
        Project p = projectFromJson(shippedLayoutJson());
        p.dataViews.pop_back();
        return decodeError(encodeProject(p));
    }();
    EXPECT_NE(unknownView.find("unknown data view \"Payments\""), std::string::npos) << unknownView;
}

TEST(ProjectFile, UnreadableFileGivesTheFileOpenError) {
    QTemporaryDir dir;
    // A directory exists but cannot be read as a file.
    try {
        loadProjectFile(dir.path());
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()).left(17), QStringLiteral("Cannot open file "));
        EXPECT_TRUE(QString::fromStdString(e.what()).contains(dir.path()));
    }
}

TEST(Rpjmake, WritesTheShippedProjectAndRefusesABadLayout) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("Project1.rpj"));
    EXPECT_EQ(
        QProcess::execute(QStringLiteral(ZEMT_RPJMAKE), {QStringLiteral(ZEMT_SHIPPED_LAYOUT), out}),
        0);
    const Project p = loadProjectFile(out);
    EXPECT_EQ(p.reports.size(), 1u);

    const QString bad = dir.filePath(QStringLiteral("bad.json"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"reports":[{"name":"R","bands":[{"kind":"Sidebar"}]}]})");
    f.close();
    EXPECT_EQ(QProcess::execute(QStringLiteral(ZEMT_RPJMAKE), {bad, dir.filePath("x.rpj")}), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.rpj")));
}

TEST(Snapshot, RoundTripAndDamage) {
    ReportPages pages;
    pages.paperSize = QSizeF(210, 297);
    FontSpec bold;
    bold.bold = true;
    pages.pages.resize(2);
    PageItem text;
    text.rect = QRectF(15, 20, 40, 5.5);
    text.text = QStringLiteral("Королёва O'Neil");
    text.font = pages.fontIndex(bold);
    text.align = Align::Right;
    pages.pages[0].items.push_back(text);
    PageItem line;
    line.kind = PageItem::Kind::Line;
    line.rect = QRectF(15, 30, 180, 0);
    line.penWidth = 0.4;
    pages.pages[1].items.push_back(line);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("r.rsf"));
    saveSnapshot(pages, file);
    EXPECT_EQ(loadSnapshot(file), pages);

    const QByteArray good = encodeSnapshot(pages);
    for (qsizetype n = 0; n < good.size(); ++n)
        EXPECT_THROW(decodeSnapshot(good.left(n), file), Exception) << "cut at " << n;
    EXPECT_THROW(decodeSnapshot(good + "x", file), EReportError);
}

// A run's own file: page numbers stay patterns until painted, each page is
// read back alone through the index at the end of the file, and a damaged
// index is an error rather than wrong pages.
TEST(Snapshot, PagesAreReadOneAtATimeAndPageNumbersFilledInWhenShown) {
    ReportPages pages;
    pages.fonts.push_back(FontSpec());
    for (int i = 0; i < 3; ++i) {
        PageItem number;
        number.kind = PageItem::Kind::PageNumber;
        number.rect = QRectF(15, 280, 180, 5);
        number.text = QStringLiteral("Страница %p из %P");
        ReportPage page;
        page.items.assign(size_t(i + 1), number);
        pages.pages.push_back(page);
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("run.tmp"));
    saveSnapshot(pages, file);
    const SnapshotFile read(file);
    ASSERT_EQ(read.pageCount(), 3);
    EXPECT_EQ(read.page(2), pages.pages[2]);
    EXPECT_EQ(read.page(0), pages.pages[0]);
    EXPECT_EQ(read.itemText(read.page(0).items[0], 0), QStringLiteral("Страница 1 из 3"));
    EXPECT_EQ(read.itemText(read.page(2).items[0], 2), QStringLiteral("Страница 3 из 3"));
    EXPECT_THROW(read.page(3), EReportError);
    EXPECT_EQ(*openSnapshot(file), pages);

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    bytes[bytes.size() - 8] = char(bytes[bytes.size() - 8] + 1); // the index moved by a byte
    f.seek(0);
    f.write(bytes);
    f.close();
    EXPECT_THROW(SnapshotFile{file}, EReportError);
    EXPECT_THROW(openSnapshot(file), EReportError);
}

// Snapshots saved before pages were streamed (version 1) still open, and
// every file of the fuzz corpus opens or is refused with a message.
TEST(Snapshot, VersionOneFilesAndTheFuzzCorpus) {
    BinaryWriter w;
    w.bytes(QByteArray("RSF\x1A", 4));
    w.u32(1);
    w.f64(210);
    w.f64(297);
    w.u32(1); // fonts
    w.string(QStringLiteral("DejaVu Sans"));
    w.f64(10);
    w.u8(0);
    w.u32(1); // pages
    w.u32(1); // items
    w.u8(1);
    for (double v : {15.0, 20.0, 40.0, 5.0})
        w.f64(v);
    w.string(QStringLiteral("Страница 1 из 1"));
    w.u16(0);
    w.u8(0);
    w.f64(0.2);
    const ReportPages old = decodeSnapshot(w.data(), QStringLiteral("old.rsf"));
    ASSERT_EQ(old.pageCount(), 1);
    EXPECT_EQ(old.pages[0].items[0].text, QStringLiteral("Страница 1 из 1"));
    EXPECT_EQ(decodeSnapshot(encodeSnapshot(old), QStringLiteral("new.rsf")), old);

    const QDir corpus(QStringLiteral(ZEMT_SNAPSHOT_CORPUS));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const QString path = corpus.filePath(name);
        try {
            const auto pages = openSnapshot(path);
            EXPECT_EQ(readAllPages(*pages), loadSnapshot(path)) << name.toStdString();
            EXPECT_EQ(decodeSnapshot(encodeSnapshot(*pages), name), *pages) << name.toStdString();
        } catch (const EReportError&) {
            EXPECT_THROW(loadSnapshot(path), EReportError) << name.toStdString();
        }
    }
}

TEST(OutputRules, FileNamesGetTheFormatsExtensionWhenTheyHaveNoDot) {
    struct Case {
        const char* typed;
        TReportFileFormat format;
        const char* expected;
    };
    const Case cases[] = {
        {"report", TReportFileFormat::ffRSF, "report.rsf"},
        {"  report  ", TReportFileFormat::ffRSF, "report.rsf"},
        {"report", TReportFileFormat::ffPRN, "report.prn"},
        {"report", TReportFileFormat::ffPDF, "report.pdf"},
        {"report.txt", TReportFileFormat::ffPRN, "report.txt"},
        {"/tmp/dir.d/report", TReportFileFormat::ffRSF, "/tmp/dir.d/report"},
        {"   ", TReportFileFormat::ffRSF, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reportOutputFileName(QString::fromUtf8(c.typed), c.format),
                  QString::fromUtf8(c.expected))
            << c.typed;
}

TEST(OutputRules, PageSelections) {
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"1-3", {1, 2, 3}}, {"2,4", {2, 4}}, {"4-", {4, 5}},     {"-2", {1, 2}},  {"7", {}},
        {"1-2-3", {}},      {"", {}},        {"3-9", {3, 4, 5}}, {"5,1", {5, 1}}, {"x,2", {2}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parsePageSelection(QString::fromLatin1(text), 5), expected) << text;
}

TEST(OutputRules, PrinterLabel) {
    EXPECT_EQ(reportPrinterLabel(std::nullopt), QStringLiteral("No printers installed!"));
    EXPECT_EQ(reportPrinterLabel(TReportPrinter{"Laser", "usb://1"}),
              QStringLiteral("Laser on usb://1"));
    EXPECT_EQ(reportPrinterLabel(TReportPrinter{"Laser", ""}), QStringLiteral("Laser"));
}

TEST(DataTypes, ReportDataTypeOfEachFieldType) {
    using F = TReportFieldType;
    using D = TReportDataType;
    const std::pair<F, D> cases[] = {
        {F::ftUnknown, D::dtString},    {F::ftFixedChar, D::dtString},
        {F::ftWideString, D::dtString}, {F::ftSmallint, D::dtInteger},
        {F::ftWord, D::dtInteger},      {F::ftAutoInc, D::dtInteger},
        {F::ftBoolean, D::dtBoolean},   {F::ftFloat, D::dtFloat},
        {F::ftCurrency, D::dtCurrency}, {F::ftBCD, D::dtBCD},
        {F::ftFMTBcd, D::dtBCD},        {F::ftDate, D::dtDate},
        {F::ftTime, D::dtTime},         {F::ftTimeStamp, D::dtDateTime},
        {F::ftMemo, D::dtMemo},         {F::ftGraphic, D::dtGraphic},
        {F::ftLargeint, D::dtInt64},    {F::ftFmtMemo, D::dtBlob},
        {F::ftGuid, D::dtBlob},         {F::ftVarBytes, D::dtBlob},
        {F::ftOraClob, D::dtBlob},
    };
    for (const auto& [field, data] : cases)
        EXPECT_EQ(reportDataType(field), data) << int(field);
}
