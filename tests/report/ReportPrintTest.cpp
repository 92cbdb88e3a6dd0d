// Printing through the real print spooler: a throwaway queue with the generic
// PostScript driver whose device is a file (tools/cups-test-queue adds it and
// removes it again). What reaches the device is read back: the report's
// title, every page and the copies; "Native Printer Output (PRN)" is the
// driver's PostScript; a queue that refuses jobs or has gone is an error.
#include "MemoryDataSet.h"

#include "report/ReportDataConnection.h"
#include "report/ReportErrors.h"
#include "report/ReportLock.h"
#include "report/ReportProject.h"
#include "report/ReportSetupForm.h"
#include "report/ReportSystem.h"
#include "zemt/BuildConfig.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString kTitle = QStringLiteral("Студенты общежития и их платежи");

QString script() {
    return QStringLiteral(ZEMT_CUPS_TEST_QUEUE);
}

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

/// A PostScript string as DSC comments write it: "(\320\242...)".
QString postScriptString(const QByteArray& text) {
    QByteArray bytes;
    const QByteArray inner = text.mid(1, text.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        bool octal = false;
        if (inner[i] == '\\' && i + 3 < inner.size())
            inner.mid(i + 1, 3).toInt(&octal, 8);
        if (octal) {
            bytes.append(char(inner.mid(i + 1, 3).toInt(nullptr, 8)));
            i += 3;
        } else {
            bytes.append(inner[i]);
        }
    }
    return QString::fromUtf8(bytes);
}

/// What a PostScript job says of itself in its comments.
struct PostScriptJob {
    QByteArray data;
    QString title;
    int pages = -1;    ///< the last "%%Pages:" that holds a number
    int pageMarks = 0; ///< "%%Page:" comments
    int copies = 1;    ///< numcopies(n) in "%%Requirements:"
    explicit PostScriptJob(QByteArray bytes) : data(std::move(bytes)) {
        for (const QByteArray& line : data.split('\n')) {
            if (line.startsWith("%%Title: "))
                title = postScriptString(line.mid(9).trimmed());
            else if (line.startsWith("%%Pages: ") && line.mid(9).trimmed() != "(atend)")
                pages = line.mid(9).trimmed().toInt();
            else if (line.startsWith("%%Page: "))
                ++pageMarks;
            const auto m = QRegularExpression(QStringLiteral("numcopies\\((\\d+)\\)"))
                               .match(QString::fromLatin1(line));
            if (line.startsWith("%%Requirements:") && m.hasMatch())
                copies = m.captured(1).toInt();
        }
    }
};

using Rows = std::vector<std::vector<std::optional<QString>>>;

/// Enough students for several pages, each with a payment.
struct Connections {
    MemoryDataSet students;
    MemoryDataSet payments;
    TReportDataSetConnection c1{QStringLiteral("ReportConnection1"), &students};
    TReportDataSetConnection c2{QStringLiteral("ReportConnection2"), &payments};
    static Rows studentRows() {
        Rows rows;
        for (int i = 0; i < 120; ++i)
            rows.push_back({QString::number(20000 + i), QStringLiteral("Петров%1").arg(i),
                            QStringLiteral("Иван"), QStringLiteral("Экономический"),
                            QStringLiteral("2")});
        return rows;
    }
    static Rows paymentRows() {
        Rows rows;
        for (int i = 0; i < 120; ++i)
            rows.push_back({QString::number(20000 + i), QStringLiteral("Иванова"),
                            QStringLiteral("сентябрь"), QStringLiteral("850"),
                            QStringLiteral("05.09.2026")});
        return rows;
    }
    Connections()
        : students({"Id_zach", "Fname", "Lname", "Fakultet", "Kurs"}, studentRows()),
          payments({"Id_zach", "Kashier_fname", "Month_oplat", "Summ", "Date_platej"},
                   paymentRows()) {}
};

class Spooler : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (geteuid() != 0 || !QFile::exists(QStringLiteral("/usr/sbin/cupsd")))
            return;
        state = new QTemporaryDir;
        queue = QStringLiteral("ZemtTestQueue%1").arg(getpid());
        device = state->filePath(QStringLiteral("device.ps"));
        ready = run(QStringLiteral("bash"), {script(), QStringLiteral("add"), queue, device,
                                             state->filePath(QStringLiteral("state"))});
    }
    static void TearDownTestSuite() {
        if (state)
            run(QStringLiteral("bash"), {script(), QStringLiteral("remove"), queue,
                                         state->filePath(QStringLiteral("state"))});
        delete state;
        state = nullptr;
    }
    void SetUp() override {
        if (!ready)
            GTEST_SKIP() << "needs root and the print spooler (tools/setup-debian installs it)";
        QFile::remove(device);
        project.setProjectFile(QStringLiteral(ZEMT_REPORT_PROJECT));
    }

    /// The queue as the output system lists it.
    static std::optional<TReportPrinter> ourPrinter() {
        for (const TReportPrinter& p : installedReportPrinters())
            if (p.device == queue)
                return p;
        return std::nullopt;
    }

    /// Waits until the queue has no job left; what reached its device.
    static QByteArray deviceOutput() {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 &&
               !output(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}).trimmed().isEmpty())
            QThread::msleep(100);
        QFile file(device);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static inline QTemporaryDir* state = nullptr;
    static inline QString queue;
    static inline QString device;
    static inline bool ready = false;
    Connections data;
    TReportProject project;
};

} // namespace

TEST_F(Spooler, OutputOptionsOffersPrinterAndFile) {
    const std::optional<TReportPrinter> printer = ourPrinter();
    ASSERT_TRUE(printer.has_value());
    TReportSystem system;
    system.SelectedPrinter = printer;
    TReportSetupForm form(system);
    EXPECT_TRUE(form.PrinterRB->isEnabled());
    EXPECT_TRUE(form.FileRB->isEnabled());
    EXPECT_TRUE(form.PreviewRB->isChecked());
    EXPECT_TRUE(form.PrinterLabel->text().startsWith(queue));
}

TEST_F(Spooler, PrintedJobHoldsTheTitleEveryPageAndTheCopies) {
    project.onSystemCreated = [](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.ReportDest = TReportDest::rdPrinter;
        s.SelectedPrinter = ourPrinter();
        s.Copies = 2;
    };
    int pages = -1;
    project.onPagesGenerated = [&pages](const report::PageSource& p) { pages = p.pageCount(); };
    project.Execute();
    ASSERT_GT(pages, 1);
    const PostScriptJob job(deviceOutput());
    ASSERT_TRUE(job.data.startsWith("%!PS")) << job.data.left(40).toStdString();
    EXPECT_EQ(job.title, kTitle);
    // The copies are either asked of the device or sent page by page.
    EXPECT_EQ(job.pageMarks * job.copies, 2 * pages);
    EXPECT_TRUE(job.pages == pages || job.pages == 2 * pages) << job.pages;
}

TEST_F(Spooler, PrinterOutputFileIsTheDriversPostScript) {
    QTemporaryDir dir;
    const QString prn = dir.filePath(QStringLiteral("report"));
    project.onSystemCreated = [&](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.SelectedPrinter = ourPrinter();
        s.ReportDest = TReportDest::rdFile;
        s.FileFormat = TReportFileFormat::ffPRN;
        s.OutputFileName = reportOutputFileName(prn, s.FileFormat);
    };
    int pages = -1;
    project.onPagesGenerated = [&pages](const report::PageSource& p) { pages = p.pageCount(); };
    project.Execute();
    QFile file(prn + QStringLiteral(".prn"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const PostScriptJob job(file.readAll());
    EXPECT_TRUE(job.data.startsWith("%!PS")) << job.data.left(40).toStdString(); // not "%PDF"
    EXPECT_EQ(job.title, kTitle);
    EXPECT_EQ(job.pages, pages);
    EXPECT_TRUE(deviceOutput().isEmpty()); // nothing went to the device
}

TEST_F(Spooler, APrinterThatRefusesOrHasGoneIsAnErrorAndPrintsNothing) {
    project.onSystemCreated = [](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.ReportDest = TReportDest::rdPrinter;
        s.SelectedPrinter = ourPrinter();
    };
    ASSERT_TRUE(run(QStringLiteral("cupsreject"), {queue}));
    try {
        project.Execute();
        ADD_FAILURE() << "printing claimed success";
    } catch (const EReportError& e) {
        EXPECT_EQ(
            QString::fromUtf8(e.what()),
            QStringLiteral("Printer \"%1\" does not accept jobs. Nothing was printed").arg(queue));
    }
    run(QStringLiteral("cupsaccept"), {queue});
    EXPECT_TRUE(deviceOutput().isEmpty());

    // Chosen, then removed before the pages are printed.
    const QString gone = queue + QStringLiteral("Gone");
    ASSERT_TRUE(run(QStringLiteral("lpadmin"),
                    {QStringLiteral("-p"), gone, QStringLiteral("-E"), QStringLiteral("-v"),
                     QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
                     QStringLiteral("drv:///sample.drv/generic.ppd")}));
    project.onSystemCreated = [&](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.ReportDest = TReportDest::rdPrinter;
        for (const TReportPrinter& p : installedReportPrinters())
            if (p.device == gone)
                s.SelectedPrinter = p;
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), gone});
    };
    EXPECT_THROW(project.Execute(), EReportError);
    EXPECT_FALSE(data.students.active());
    EXPECT_EQ(data.students.disabled, 0);
}

int main(int argc, char** argv) {
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    TReportLock::setDefaultPath(temp.filePath(QStringLiteral("report.lock")));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
