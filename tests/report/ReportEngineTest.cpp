// The report engine driven headless: data connections over a data set in
// memory, generation, PDF and printing, TReportProject runs with their
// dialogs and messages.
#include "MemoryDataSet.h"

#include "data/values/FormatSettings.h"
#include "report/ProjectFile.h"
#include "report/ReportDataConnection.h"
#include "report/ReportErrors.h"
#include "report/ReportGenerator.h"
#include "report/ReportLock.h"
#include "report/ReportOutput.h"
#include "report/ReportPreviewForm.h"
#include "report/ReportProject.h"
#include "report/ReportSetupForm.h"
#include "report/ReportStatusForm.h"
#include "report/Snapshot.h"
#include "shell/MessageBoxes.h"
#include "shell/TApplication.h"
#include "zemt/BuildConfig.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <deque>
#include <gtest/gtest.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace report;

namespace {

using Rows = std::vector<std::vector<std::optional<QString>>>;

MemoryDataSet makeStudents(int count = 3) {
    const QString names[] = {QStringLiteral("Петров"), QStringLiteral("Королёва"),
                             QStringLiteral("O'Neil")};
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(
            {QString::number(20571 + i), names[i % 3] + (i >= 3 ? QString::number(i) : QString()),
             QStringLiteral("Иван"), QStringLiteral("Экономический"), QStringLiteral("3")});
    return MemoryDataSet({"Id_zach", "Fname", "Lname", "Fakultet", "Kurs"}, rows);
}

MemoryDataSet makePayments() {
    return MemoryDataSet({"Id_zach", "Kashier_fname", "Month_oplat", "Summ", "Date_platej"},
                         Rows{{"20572", "Иванова", "Январь", "500", "10.01.2024"},
                              {"20571", "Иванова", "Февраль", "700", "11.02.2024"},
                              {std::nullopt, "Иванова", "Март", "1", "01.03.2024"},
                              {"20572", "иванова", "Март", "900", "12.03.2024"}});
}

/// Every text on the pages, page by page.
QStringList pageTexts(const PageSource& pages, int page) {
    QStringList out;
    for (const PageItem& item : pages.page(page).items)
        if (item.isText())
            out << pages.itemText(item, page);
    return out;
}

QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished();
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

Project shippedProject() {
    return loadProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
}

/// Answers message boxes from a queue and records them.
struct Boxes {
    std::vector<MessageBoxRequest> seen;
    std::deque<QMessageBox::StandardButton> answers;
    Boxes() {
        setMessageBoxHook([this](const MessageBoxRequest& r) {
            seen.push_back(r);
            if (answers.empty())
                return r.escapeButton;
            const auto a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~Boxes() { setMessageBoxHook({}); }
};

/// Runs `act` on the next modal window, once one is showing.
void whenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

/// A run writing a snapshot to `file`, with no dialog.
void snapshotTo(TReportProject& project, const QString& file) {
    project.onSystemCreated = [file](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.ReportDest = TReportDest::rdFile;
        s.FileFormat = TReportFileFormat::ffRSF;
        s.OutputFileName = file;
    };
}

struct Connections {
    MemoryDataSet students = makeStudents();
    MemoryDataSet payments = makePayments();
    TReportDataSetConnection c1{QStringLiteral("ReportConnection1"), &students};
    TReportDataSetConnection c2{QStringLiteral("ReportConnection2"), &payments};
};

} // namespace

// ---- data connections -----------------------------------------------------

TEST(Connection, RestoreAfterARunThatFoundTheDataSetClosed) {
    MemoryDataSet ds = makeStudents();
    ds.setFilter(QStringLiteral("(Kurs=3)"));
    ds.setFiltered(true);
    TReportDataSetConnection c(QStringLiteral("C"), &ds);
    c.Open();
    EXPECT_TRUE(ds.active());
    EXPECT_EQ(ds.disabled, 1);
    for (c.First(); !c.Eof(); c.Next())
        ;
    c.Restore();
    EXPECT_FALSE(ds.active()); // closed again
    EXPECT_EQ(ds.disabled, 0);
    EXPECT_EQ(ds.filter(), QStringLiteral("(Kurs=3)"));
    EXPECT_TRUE(ds.filtered());
    EXPECT_FALSE(c.isOpen());
}

TEST(Connection, RestoreAfterARunThatFoundTheDataSetOpen) {
    MemoryDataSet ds = makeStudents();
    ds.open();
    ds.setCurrent(1);
    TReportDataSetConnection c(QStringLiteral("C"), &ds);
    c.Open();
    EXPECT_EQ(ds.opens, 1); // not reopened
    int rows = 0;
    for (c.First(); !c.Eof(); c.Next())
        ++rows;
    EXPECT_EQ(rows, 3);
    c.Restore();
    EXPECT_TRUE(ds.active());
    EXPECT_EQ(ds.current(), 1); // the same current row
    EXPECT_EQ(ds.disabled, 0);
}

TEST(Connection, EndOfDataRule) {
    // The first question after open is "is there no row?"; later ones ask the
    // data set. A data set left at its end (after Last) still gives its rows.
    MemoryDataSet empty({"A"}, Rows{});
    TReportDataSetConnection ce(QStringLiteral("E"), &empty);
    ce.Open();
    EXPECT_TRUE(ce.Eof());
    ce.Restore();

    MemoryDataSet one({"A"}, Rows{{"x"}});
    one.open();
    one.last(); // at its end
    TReportDataSetConnection c1(QStringLiteral("O"), &one);
    c1.Open();
    EXPECT_FALSE(c1.Eof()); // first question: not empty
    EXPECT_TRUE(c1.Eof());  // later: the data set's own end
    c1.Restore();
}

TEST(Connection, LocalFilterSkipsNullAndDifferentRowsLeavingTheDataSetAlone) {
    MemoryDataSet ds = makePayments();
    TReportDataSetConnection c(QStringLiteral("C"), &ds);
    c.Open();
    c.SetFilter({{QStringLiteral("kashier_fname"), QStringLiteral(">"), QStringLiteral("Иванова")},
                 {QStringLiteral("Id_zach"), QStringLiteral("<>"), QStringLiteral("20572")}});
    QStringList months;
    for (c.First(); !c.Eof(); c.Next())
        months << c.GetRow()[2].text;
    EXPECT_EQ(months, QStringList{QStringLiteral("Январь")}); // "иванова" differs in case
    EXPECT_TRUE(ds.filter().isEmpty());
    EXPECT_FALSE(ds.filtered());

    c.SetFilter({{QStringLiteral("Id_zach"), QStringLiteral("="), QStringLiteral("99999")}});
    c.First();
    EXPECT_TRUE(c.Eof()); // no row passes: at end from the start
    EXPECT_THROW(c.SetFilter({{QStringLiteral("Nope"), QStringLiteral("="), QStringLiteral("1")}}),
                 EReportError);
    c.Restore();
}

TEST(Connection, ColumnsRowsAndRequestedFields) {
    MemoryDataSet ds = makePayments();
    TReportDataSetConnection c(QStringLiteral("C"), &ds);
    c.Open();
    const auto cols = c.GetCols();
    ASSERT_EQ(cols.size(), 5u);
    EXPECT_EQ(cols[0].name, QStringLiteral("Id_zach"));
    EXPECT_EQ(cols[0].dataType, TReportDataType::dtString);
    EXPECT_TRUE(cols[0].displayLabel.isEmpty()); // same as the name
    c.First();
    c.Next();
    c.Next(); // the row with a null key
    const auto row = c.GetRow({true, false, true});
    EXPECT_TRUE(row[0].null);
    EXPECT_TRUE(row[1].null); // not requested
    EXPECT_FALSE(row[2].null);
    EXPECT_EQ(row[2].text, QStringLiteral("Март"));
    EXPECT_TRUE(row[3].null); // beyond the request list
    EXPECT_TRUE(c.GetSorts().empty());
    EXPECT_TRUE(c.ValidateRow());
    c.Restore();
}

TEST(Connection, FailedOpenGivesTheControlsBack) {
    MemoryDataSet ds = makeStudents();
    ds.failOpen = true;
    TReportDataSetConnection c(QStringLiteral("C"), &ds);
    EXPECT_THROW(c.Open(), std::runtime_error);
    EXPECT_EQ(ds.disabled, 0);
    EXPECT_FALSE(c.isOpen());
}

TEST(Connection, RegistryFindsByNameWithoutCaseForTheConnectionsLifetime) {
    MemoryDataSet ds = makeStudents();
    {
        TReportDataSetConnection c(QStringLiteral("ReportConnection9"), &ds);
        EXPECT_EQ(findReportConnection(QStringLiteral("reportconnection9")), &c);
        c.Open();
    } // destroyed while open: restored, and gone from the list
    EXPECT_EQ(findReportConnection(QStringLiteral("ReportConnection9")), nullptr);
    EXPECT_FALSE(ds.active());
    EXPECT_EQ(ds.disabled, 0);
}

// ---- generation and output ------------------------------------------------

TEST(Generator, StudentsEachFollowedByTheirPayments) {
    Connections data;
    const Project project = shippedProject();
    ReportGenerator gen(project, *project.activeReport());
    gen.printDate = QDate(2024, 5, 17);
    const TFormatSettings saved = FormatSettings();
    FormatSettings().ShortDateFormat = "%d.%m.%Y";
    ASSERT_EQ(gen.run(), ReportGenerator::Status::Done);
    FormatSettings() = saved;
    const ReportPages& pages = gen.pages();
    ASSERT_EQ(pages.pageCount(), 1);
    const QStringList t = pageTexts(pages, 0);
    EXPECT_TRUE(t.contains(QStringLiteral("Студенты общежития и их платежи")));
    EXPECT_TRUE(t.contains(QStringLiteral("17.05.2024")));
    EXPECT_TRUE(t.contains(QStringLiteral("Страница 1 из 1")));
    // Петров (20571) has one payment, Королёва (20572) two, O'Neil none; the
    // payment with no key belongs to nobody.
    const int petrov = int(t.indexOf(QStringLiteral("Петров")));
    const int koroleva = int(t.indexOf(QStringLiteral("Королёва")));
    const int oneil = int(t.indexOf(QStringLiteral("O'Neil")));
    ASSERT_TRUE(petrov >= 0 && koroleva > petrov && oneil > koroleva);
    EXPECT_EQ(t.mid(petrov, koroleva - petrov).filter(QStringLiteral("Февраль")).size(), 1);
    EXPECT_EQ(t.mid(koroleva, oneil - koroleva).filter(QStringLiteral("Январь")).size(), 1);
    EXPECT_EQ(t.mid(koroleva, oneil - koroleva).filter(QStringLiteral("Март")).size(), 1);
    EXPECT_EQ(t.filter(QStringLiteral("Март")).size(), 1);
    // Both connections are still held until the run restores them.
    EXPECT_TRUE(data.c1.isOpen() && data.c2.isOpen());
    gen.restoreConnections();
    EXPECT_FALSE(data.students.active() || data.payments.active());
}

TEST(Generator, PageBreaksRepeatHeadersAndNumberEveryPage) {
    MemoryDataSet students = makeStudents(150);
    MemoryDataSet payments = makePayments();
    TReportDataSetConnection c1(QStringLiteral("ReportConnection1"), &students);
    TReportDataSetConnection c2(QStringLiteral("ReportConnection2"), &payments);
    const Project project = shippedProject();
    ReportGenerator gen(project, *project.activeReport());
    std::vector<int> announced;
    gen.onPage = [&](int page) {
        announced.push_back(page);
        return true;
    };
    ASSERT_EQ(gen.run(), ReportGenerator::Status::Done);
    const int n = gen.pages().pageCount();
    ASSERT_GT(n, 2);
    EXPECT_EQ(int(announced.size()), n);
    int students_seen = 0;
    for (int p = 0; p < n; ++p) {
        const QStringList t = pageTexts(gen.pages(), p);
        EXPECT_TRUE(t.contains(QStringLiteral("Страница %1 из %2").arg(p + 1).arg(n))) << p;
        EXPECT_TRUE(t.contains(QStringLiteral("Фамилия"))) << p;
        students_seen += int(t.filter(QStringLiteral("Экономический")).size());
        for (const PageItem& item : gen.pages().pages[size_t(p)].items)
            EXPECT_LE(item.rect.bottom(), 297 - 12 + 1e-6);
    }
    EXPECT_EQ(students_seen, 150);
}

TEST(Generator, CancelStopsWithNoPagesAndUnknownConnectionAborts) {
    Connections data;
    const Project project = shippedProject();
    ReportGenerator gen(project, *project.activeReport());
    gen.onPage = [](int) { return false; };
    EXPECT_EQ(gen.run(), ReportGenerator::Status::Cancelled);
    EXPECT_EQ(gen.pages().pageCount(), 0);

    Project other = project;
    other.dataViews[1].connection = QStringLiteral("NoSuchConnection");
    ReportGenerator gen2(other, *other.activeReport());
    EXPECT_EQ(gen2.run(), ReportGenerator::Status::Aborted);
    EXPECT_EQ(gen2.missingConnection(), QStringLiteral("NoSuchConnection"));
}

TEST(Generator, DataViewIsItsFirstMatchAndAnUnknownViewIsAnError) {
    Connections data;
    Project project = shippedProject();
    // A later view of the same name (other case) does not take over.
    project.dataViews.push_back({QStringLiteral("STUDENTS"), QStringLiteral("NoSuchConnection")});
    ReportGenerator gen(project, *project.activeReport());
    EXPECT_EQ(gen.run(), ReportGenerator::Status::Done);
    gen.restoreConnections();

    // A view nobody declared is no connection name in disguise.
    Project unknown = shippedProject();
    Report report = *unknown.activeReport();
    for (Band& band : report.bands)
        if (band.kind == BandKind::Data)
            band.dataView = QStringLiteral("ReportConnection1");
    ReportGenerator gen2(unknown, report);
    try {
        gen2.run();
        ADD_FAILURE() << "no error";
    } catch (const EReportError& e) {
        EXPECT_STREQ(e.what(),
                     "Report \"StudentPayments\" uses the unknown data view \"ReportConnection1\"");
    }
    EXPECT_FALSE(data.c1.isOpen());
}

TEST(Output, PdfHoldsTheCyrillicTextsAndPrintingMakesTheCopies) {
    Connections data;
    const Project project = shippedProject();
    ReportGenerator gen(project, *project.activeReport());
    ASSERT_EQ(gen.run(), ReportGenerator::Status::Done);
    gen.restoreConnections();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    writePdf(gen.pages(), pdf);
    const QString text = pdfText(pdf);
    for (const char* s : {"Студенты общежития и их платежи", "Петров", "Королёва", "O'Neil",
                          "Февраль", "Страница 1 из 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();

    // A real QPrinter writing PDF: it makes no copies itself, so they are sent
    // one after another.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString printed = dir.filePath(QStringLiteral("p.pdf"));
    printer.setOutputFileName(printed);
    printPages(gen.pages(), printer, allPages(gen.pages()), 3, true);
    EXPECT_EQ(pdfPages(printed), 3);
    EXPECT_EQ(pdfText(printed).count(QStringLiteral("Петров")), 3);
}

// ---- project runs ---------------------------------------------------------

TEST(Project, MissingProjectThenPutInPlace) {
    Connections data;
    QTemporaryDir dir;
    TReportProject p;
    p.setProjectFile(dir.filePath(QStringLiteral("Project1")));
    EXPECT_EQ(p.ProjectFile(), dir.filePath(QStringLiteral("Project1.rpj")));
    try {
        p.Execute();
        FAIL() << "no error";
    } catch (const EReportError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()),
                  QStringLiteral("The following reporting project does not exist:\n\"%1\"")
                      .arg(dir.filePath(QStringLiteral("Project1.rpj"))));
    }
    EXPECT_FALSE(p.Active());
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZEMT_REPORT_PROJECT), p.ProjectFile()));
    const QString out = dir.filePath(QStringLiteral("out.rsf"));
    snapshotTo(p, out);
    p.Execute();
    EXPECT_TRUE(p.Active());
    EXPECT_TRUE(QFile::exists(out));
}

TEST(Project, LoadedOncePerProcess) {
    Connections data;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("P.rpj"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZEMT_REPORT_PROJECT), file));
    TReportProject p;
    p.setProjectFile(file);
    snapshotTo(p, dir.filePath(QStringLiteral("a.rsf")));
    p.Execute();
    // Replaced by something that is not a project at all: not read again.
    QFile::remove(file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("garbage");
    f.close();
    snapshotTo(p, dir.filePath(QStringLiteral("b.rsf")));
    p.Execute();
    EXPECT_EQ(loadSnapshot(dir.filePath(QStringLiteral("b.rsf"))).pageCount(), 1);
    EXPECT_EQ(
        pageTexts(loadSnapshot(dir.filePath(QStringLiteral("b.rsf"))), 0).filter("Петров").size(),
        1);
}

TEST(Project, ZeroLengthProjectRunsOneBlankPage) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Empty.rpj"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    TReportProject p;
    p.setProjectFile(file);
    snapshotTo(p, dir.filePath(QStringLiteral("blank.rsf")));
    p.Execute();
    const ReportPages pages = loadSnapshot(dir.filePath(QStringLiteral("blank.rsf")));
    ASSERT_EQ(pages.pageCount(), 1);
    EXPECT_TRUE(pages.pages[0].items.empty());
}

TEST(Project, BadHeaderLeavesTheProjectClosed) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Bad.rpj"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RPJ\x1A\x24\x9C\x00\x00\x01", 9);
    f.close();
    TReportProject p;
    p.setProjectFile(file);
    try {
        p.Execute();
        FAIL();
    } catch (const EReportError& e) {
        EXPECT_STREQ(e.what(), "Invalid Project Header Code");
    }
    EXPECT_FALSE(p.Active());
}

TEST(Project, CancelInOutputOptionsGivesNoOutputAndOpensNothing) {
    Connections data;
    TReportProject p;
    p.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("never.rsf"));
    bool sawDialog = false, generated = false;
    p.onSystemCreated = [out](TReportSystem& s) { s.OutputFileName = out; };
    p.onPagesGenerated = [&generated](const PageSource&) { generated = true; };
    whenModal([&](QWidget* w) {
        auto* setup = qobject_cast<TReportSetupForm*>(w);
        ASSERT_NE(setup, nullptr);
        sawDialog = true;
        EXPECT_EQ(setup->windowTitle(), QStringLiteral("Output Options"));
        QTest::mouseClick(setup->CancelBB, Qt::LeftButton);
    });
    p.Execute();
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(data.students.opens, 0);
    EXPECT_EQ(data.payments.opens, 0);
    EXPECT_FALSE(generated);
}

TEST(Project, CancelInReportStatusGivesNoOutputAndRestores) {
    MemoryDataSet students = makeStudents(400); // several pages
    MemoryDataSet payments = makePayments();
    TReportDataSetConnection c1(QStringLiteral("ReportConnection1"), &students);
    TReportDataSetConnection c2(QStringLiteral("ReportConnection2"), &payments);
    TReportProject p;
    p.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("never.rsf"));
    snapshotTo(p, out);
    QString statusSeen;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* status = qobject_cast<TReportStatusForm*>(w); status && status->isVisible()) {
                statusSeen = status->StatusLabel->text();
                EXPECT_EQ(status->windowTitle(), QStringLiteral("Report Status"));
                QTest::mouseClick(status->CancelButton, Qt::LeftButton);
            }
    });
    p.Execute();
    EXPECT_EQ(statusSeen, QStringLiteral("Generating page 1"));
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(students.active() || payments.active());
    EXPECT_EQ(students.disabled + payments.disabled, 0);
}

TEST(Project, BusyLockAsksRetryOrCancel) {
    Connections data;
    TReportLock other; // another program's hold on the same lock file
    ASSERT_TRUE(other.acquire(std::chrono::milliseconds(0)));
    Boxes boxes;
    boxes.answers = {QMessageBox::Retry, QMessageBox::Cancel};
    TReportProject p;
    p.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    p.lockTimeout = std::chrono::milliseconds(50);
    QTemporaryDir dir;
    snapshotTo(p, dir.filePath(QStringLiteral("never.rsf")));
    p.Execute();
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(boxes.seen[0].text,
              QStringLiteral("Unable to gain control of Report Data Communication System."));
    EXPECT_EQ(boxes.seen[0].buttons, QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never.rsf"))));
    EXPECT_EQ(data.students.opens, 0);

    other.release(); // free again: the next run goes through
    snapshotTo(p, dir.filePath(QStringLiteral("now.rsf")));
    p.Execute();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("now.rsf"))));
}

TEST(Project, UnknownConnectionIsReportedAndTheRunAborted) {
    MemoryDataSet students = makeStudents();
    TReportDataSetConnection c1(QStringLiteral("ReportConnection1"), &students);
    // no ReportConnection2 in this process
    Boxes boxes;
    TReportProject p;
    p.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    QTemporaryDir dir;
    snapshotTo(p, dir.filePath(QStringLiteral("never.rsf")));
    p.Execute();
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text,
              QStringLiteral("Error!  Could not open data connection \"ReportConnection2\".  "
                             "Aborting report."));
    EXPECT_EQ(boxes.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never.rsf"))));
    EXPECT_FALSE(students.active());
    EXPECT_EQ(students.disabled, 0);
}

TEST(Project, FailuresToPrintOrToWriteTheTemporaryFileAreErrors) {
    Connections data;
    TReportProject p;
    p.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    // The printer chosen in "Output Options" is gone when the pages are ready.
    p.onSystemCreated = [](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.ReportDest = TReportDest::rdPrinter;
        s.SelectedPrinter = TReportPrinter{QStringLiteral("RemovedPrinter"), QString()};
    };
    try {
        p.Execute();
        ADD_FAILURE() << "printing claimed success";
    } catch (const EReportError& e) {
        EXPECT_STREQ(e.what(), "Printer \"RemovedPrinter\" is not available. Nothing was printed");
    }
    EXPECT_FALSE(data.students.active());

    // The pages cannot go to their temporary file.
    QTemporaryDir dir;
    const QByteArray tmp = qgetenv("TMPDIR");
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    qputenv("TMPDIR", notAFolder.toLocal8Bit());
    snapshotTo(p, dir.filePath(QStringLiteral("out.rsf")));
    EXPECT_THROW(p.Execute(), EFOpenError);
    qputenv("TMPDIR", tmp);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.rsf"))));
    EXPECT_FALSE(data.students.active());
    EXPECT_EQ(data.students.disabled, 0);
}

TEST(Project, PreviewRunRemovesItsTemporaryFile) {
    Connections data;
    TReportProject p;
    p.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    p.onSystemCreated = [](TReportSystem& s) { s.ShowSetupDialog = false; };
    QStringList during;
    whenModal([&](QWidget* w) {
        auto* preview = qobject_cast<TReportPreviewForm*>(w);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->windowTitle(), QStringLiteral("Report Preview"));
        // 615 x 450, widened when the whole tool bar needs more.
        EXPECT_EQ(preview->size(),
                  QSize(615, 450).expandedTo(QSize(preview->ToolBar->sizeHint().width(), 0)));
        during = QDir(QDir::tempPath()).entryList({QStringLiteral("RP*")}, QDir::Files);
        QTest::keyClick(preview, Qt::Key_Escape);
    });
    p.Execute();
    EXPECT_EQ(during.size(), 1);
    EXPECT_TRUE(QDir(QDir::tempPath()).entryList({QStringLiteral("RP*")}, QDir::Files).isEmpty());
    EXPECT_FALSE(data.students.active());
}

/// Bytes the heap holds for the program (zero where another allocator runs).
std::size_t heapInUse() {
#ifdef __GLIBC__
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

// A run's pages live in its temporary file, read back a page at a time: the
// project holds nothing of a finished run, page numbers come from the file's
// own page count, and a second run makes the very same pages.
TEST(Project, ARunKeepsNoPagesAndASecondRunMakesTheSame) {
    TReportProject p;
    p.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    QTemporaryDir dir;
    snapshotTo(p, dir.filePath(QStringLiteral("out.rsf")));
    {
        Connections small; // fonts and the like are loaded once per process
        p.Execute();
    }
    MemoryDataSet students = makeStudents(3000);
    MemoryDataSet payments = makePayments();
    TReportDataSetConnection c1(QStringLiteral("ReportConnection1"), &students);
    TReportDataSetConnection c2(QStringLiteral("ReportConnection2"), &payments);
    const std::size_t before = heapInUse();
    p.Execute();
    const std::size_t after = heapInUse();
    EXPECT_LT(after, before + 256 * 1024) << "held after the run: " << after - before;

    std::vector<ReportPages> runs;
    QStringList files;
    p.onPagesGenerated = [&](const PageSource& pages) {
        EXPECT_NE(dynamic_cast<const SnapshotFile*>(&pages), nullptr);
        runs.push_back(readAllPages(pages));
        files += QDir(QDir::tempPath()).entryList({QStringLiteral("RP*")}, QDir::Files);
    };
    p.Execute();
    p.Execute();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(runs[0] == runs[1]);
    const int n = runs[0].pageCount();
    ASSERT_GT(n, 20);
    EXPECT_TRUE(pageTexts(runs[0], 0).contains(QStringLiteral("Страница 1 из %1").arg(n)));
    EXPECT_TRUE(pageTexts(runs[0], n - 1).contains(QStringLiteral("Страница %1 из %1").arg(n)));
    EXPECT_EQ(loadSnapshot(dir.filePath(QStringLiteral("out.rsf"))), runs[1]);
    ASSERT_EQ(files.size(), 2);
    for (const QString& file : files)
        EXPECT_FALSE(QFile::exists(QDir(QDir::tempPath()).filePath(file))) << file.toStdString();
}

// ---- dialogs ----------------------------------------------------------------

TEST(SetupForm, WithoutPrintersOnlyPreview) {
    setReportPrintersProvider([] { return QList<TReportPrinter>{}; });
    TReportSystem system;
    TReportSetupForm form(system);
    EXPECT_EQ(form.PrinterLabel->text(), QStringLiteral("No printers installed!"));
    EXPECT_FALSE(form.PrinterRB->isEnabled());
    EXPECT_FALSE(form.FileRB->isEnabled());
    EXPECT_TRUE(form.PreviewRB->isChecked());
    EXPECT_FALSE(form.SetupBB->isEnabled());
    EXPECT_FALSE(form.editFileName->isEnabled());
    EXPECT_FALSE(form.CopiesED->isEnabled());
    EXPECT_TRUE(form.bbtnOK->isEnabled());
    EXPECT_EQ(form.size(), QSize(295, 242));
    setReportPrintersProvider({});
}

TEST(SetupForm, FileNameRulesAndOptions) {
    setReportPrintersProvider([] { return QList<TReportPrinter>{{"Laser", "usb://laser"}}; });
    struct Case {
        int format;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {{0, "report", "report.rsf"},
                          {1, "report", "report.prn"},
                          {2, "report", "report.pdf"},
                          {1, " out.txt ", "out.txt"}};
    for (const Case& c : cases) {
        TReportSystem system;
        TReportSetupForm form(system);
        EXPECT_EQ(form.PrinterLabel->text(), QStringLiteral("Laser on usb://laser"));
        EXPECT_EQ(form.cboxFormat->itemText(0), QStringLiteral("Report Snapshot File (RSF)"));
        EXPECT_EQ(form.cboxFormat->itemText(1), QStringLiteral("Native Printer Output (PRN)"));
        form.FileRB->setChecked(true);
        EXPECT_TRUE(form.editFileName->isEnabled());
        EXPECT_FALSE(form.CopiesED->isEnabled());
        EXPECT_FALSE(form.SetupBB->isEnabled());
        EXPECT_FALSE(form.bbtnOK->isEnabled()); // blank name
        QTest::keyClicks(form.editFileName, QStringLiteral("   "));
        EXPECT_FALSE(form.bbtnOK->isEnabled());
        form.editFileName->clear();
        QTest::keyClicks(form.editFileName, QString::fromLatin1(c.typed));
        EXPECT_TRUE(form.bbtnOK->isEnabled());
        form.cboxFormat->setCurrentIndex(c.format);
        QTest::mouseClick(form.bbtnOK, Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(system.ReportDest, TReportDest::rdFile);
        EXPECT_EQ(system.OutputFileName, QString::fromLatin1(c.expected));
    }
    // Printer: copies take digits only; preview clears the file name.
    TReportSystem system;
    system.OutputFileName = QStringLiteral("old.rsf");
    TReportSetupForm form(system);
    form.PrinterRB->setChecked(true);
    EXPECT_TRUE(form.CopiesED->isEnabled() && form.CollateCK->isEnabled());
    form.CopiesED->clear();
    QTest::keyClicks(form.CopiesED, QStringLiteral("3x"));
    EXPECT_EQ(form.CopiesED->text(), QStringLiteral("3"));
    form.CollateCK->setChecked(true);
    QTest::mouseClick(form.bbtnOK, Qt::LeftButton);
    EXPECT_EQ(system.ReportDest, TReportDest::rdPrinter);
    EXPECT_EQ(system.Copies, 3);
    EXPECT_TRUE(system.Collate);
    EXPECT_TRUE(system.OutputFileName.isEmpty());
    setReportPrintersProvider({});
}

TEST(PreviewForm, KeysActionsStatusAndSnapshots) {
    ReportPages pages;
    pages.fonts.push_back(FontSpec());
    for (int i = 1; i <= 3; ++i) {
        ReportPage page;
        PageItem item;
        item.rect = QRectF(20, 20, 100, 6);
        item.text = QStringLiteral("Страница %1").arg(i);
        page.items.push_back(item);
        pages.pages.push_back(page);
    }
    TReportSystem system;
    TReportPreviewForm form(system, pages);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.StatusLabel->text(), QStringLiteral("Page 1 of 3"));
    EXPECT_EQ(form.PageCountLabel->text(), QStringLiteral("of 3"));
    EXPECT_FALSE(form.action("first")->isEnabled());
    EXPECT_FALSE(form.action("previous")->isEnabled());
    EXPECT_EQ(form.action("next")->toolTip(), QStringLiteral("Move to next page"));
    EXPECT_EQ(form.action("gotoPage")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));

    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_E, 3}, {Qt::Key_B, 1}, {Qt::Key_N, 2},
                                            {Qt::Key_N, 3}, {Qt::Key_N, 3}, {Qt::Key_P, 2}};
    for (const auto& [key, page] : keys) {
        QTest::keyClick(form.ScrollBox, key);
        EXPECT_EQ(form.currentPage(), page);
    }
    EXPECT_EQ(form.StatusLabel->text(), QStringLiteral("Page 2 of 3"));
    QTest::keyClick(form.ScrollBox, Qt::Key_Q); // discarded
    EXPECT_EQ(form.currentPage(), 2);
    form.action("zoomIn")->trigger();
    EXPECT_EQ(form.zoom(), 110);
    form.action("fitPage")->trigger();
    EXPECT_LT(form.zoom(), 110);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("shown.rsf"));
    form.saveAs(file);
    TReportPreviewForm other(system, ReportPages());
    other.openSnapshot(file);
    EXPECT_EQ(other.pages(), pages);
    EXPECT_TRUE(
        other.windowTitle().endsWith(QStringLiteral(" - [ ") + file + QStringLiteral(" ]")));

    QTest::keyClick(form.ScrollBox, Qt::Key_X);
    EXPECT_FALSE(form.isVisible());
}

TEST(PreviewForm, CtrlHomeEndScrollTheWholeToolBarShowsAndCommandsReportTheirErrors) {
    ReportPages pages;
    pages.fonts.push_back(FontSpec());
    pages.pages.resize(3);
    TReportSystem system;
    system.ReportTitle = QStringLiteral("Студенты общежития и их платежи");
    TReportPreviewForm form(system, pages);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_GE(form.width(), form.ToolBar->sizeHint().width());
    EXPECT_GE(form.height(), 450);

    // Ctrl+End: the bottom of the last page; Ctrl+Home: the top of the first,
    // also when already on that page.
    QScrollBar* v = form.ScrollBox->verticalScrollBar();
    QTest::keyClick(form.ScrollBox, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(form.currentPage(), 3);
    EXPECT_GT(v->value(), 0);
    EXPECT_EQ(v->value(), v->maximum());
    QTest::keyClick(form.ScrollBox, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(form.currentPage(), 1);
    EXPECT_EQ(v->value(), v->minimum());
    QTest::keyClick(form.ScrollBox, Qt::Key_End);
    EXPECT_EQ(form.currentPage(), 1);
    QTest::keyClick(form.ScrollBox, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(v->value(), v->minimum());

    // A PDF saved from the preview carries the report's title.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
    form.saveAs(pdf);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    const QString metadata = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(metadata.contains(
        QRegularExpression(QStringLiteral("Title: +Студенты общежития и их платежи\n"))))
        << metadata.toStdString();

    // Opening a damaged snapshot: a message, and the preview goes on.
    const QString damaged = dir.filePath(QStringLiteral("damaged.rsf"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RSF\x1a garbage");
    file.close();
    Boxes boxes;
    whenModal([&](QWidget* w) {
        auto* chooser = qobject_cast<QFileDialog*>(w);
        if (!chooser) {
            ADD_FAILURE() << "expected the file chooser";
            qobject_cast<QDialog*>(w)->reject();
            return;
        }
        // Typed as a whole path: selectFile() would wait for the folder's
        // listing, which a busy machine delivers late, and accept() would
        // then find nothing chosen and keep the chooser open.
        auto* typed = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!typed) {
            ADD_FAILURE() << "the chooser has no file name box";
            chooser->reject();
            return;
        }
        typed->setText(damaged);
        QMetaObject::invokeMethod(chooser, "accept");
    });
    form.action("open")->trigger();
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes.seen[0].text.contains(damaged)) << boxes.seen[0].text.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.pageCount(), 3);
}

/// Pages of which one cannot be read, counting the reads.
class PagesWithABadOne : public PageSource {
public:
    explicit PagesWithABadOne(ReportPages pages, int bad) : m_pages(std::move(pages)), m_bad(bad) {}
    QSizeF paper() const override { return m_pages.paper(); }
    const std::vector<FontSpec>& fontList() const override { return m_pages.fonts; }
    int pageCount() const override { return m_pages.pageCount(); }
    ReportPage page(int index) const override {
        ++reads;
        if (index == m_bad)
            throw EReportError("Invalid snapshot: page " + std::to_string(index + 1));
        return m_pages.page(index);
    }
    mutable int reads = 0;

private:
    ReportPages m_pages;
    int m_bad;
};

TEST(PreviewForm, APageIsReadOnceWhenTurnedToAndOneThatCannotBeReadIsOneMessage) {
    ReportPages pages;
    pages.fonts.push_back(FontSpec());
    pages.pages.resize(2);
    PageItem text;
    text.rect = QRectF(20, 10, 40, 5);
    text.text = QStringLiteral("Студенты общежития");
    pages.pages[0].items = {text};
    auto source = std::make_shared<PagesWithABadOne>(pages, 1);
    TReportSystem system;
    TReportPreviewForm form(system, source);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QAccessibleTextInterface* reader =
        QAccessible::queryAccessibleInterface(form.ScrollBox->widget())->textInterface();
    ASSERT_NE(reader, nullptr);
    const int readsWhenShown = source->reads;
    for (int i = 0; i < 3; ++i) {
        form.ScrollBox->widget()->repaint();
        EXPECT_EQ(reader->text(0, reader->characterCount()), QStringLiteral("Студенты общежития"));
    }
    EXPECT_EQ(source->reads, readsWhenShown);

    Boxes boxes;
    form.action("next")->trigger();
    form.ScrollBox->widget()->repaint();
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_TRUE(boxes.seen[0].text.contains(QStringLiteral("page 2")));
    EXPECT_EQ(form.currentPage(), 2);
    EXPECT_EQ(reader->characterCount(), 0);
    form.action("previous")->trigger();
    EXPECT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(reader->text(0, reader->characterCount()), QStringLiteral("Студенты общежития"));
}

int main(int argc, char** argv) {
    // Runs and their temporary files stay inside a folder of this test, and
    // so does the lock file.
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    TReportLock::setDefaultPath(temp.filePath(QStringLiteral("report.lock")));
    // Before the application object, which leaves the program its name alone.
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv); // with the default error display
    setReportPrintersProvider([] { return QList<TReportPrinter>{}; });
    return RUN_ALL_TESTS();
}
