// Report runs over the real data module and a real SQLite catalog with the
// demo rows: what a run leaves behind in the student list and the payment
// table, and what the printed report holds.
#include "data/module/Unit3.h"
#include "data/values/Exceptions.h"
#include "report/Form2Reports.h"
#include "report/ReportLock.h"
#include "report/ReportSystem.h"
#include "tests/support/Catalogs.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ReportOverCatalog : public ::testing::Test {
protected:
    void SetUp() override {
        catalog = testsupport::makeTempSqliteCatalog(true);
        module.ADOConnection1->setConnectionString(testsupport::sqliteConnectionString(catalog));
        DataModule3 = &module;
        pdf = dir.filePath(QStringLiteral("report.pdf"));
        reports.ReportProject1.onSystemCreated = [this](TReportSystem& s) {
            s.ShowSetupDialog = false;
            s.ReportDest = TReportDest::rdFile;
            s.FileFormat = TReportFileFormat::ffPDF;
            s.OutputFileName = pdf;
        };
    }
    void TearDown() override { DataModule3 = nullptr; }

    std::string catalog;
    TDataModule3 module;
    TForm2ReportComponents reports;
    QTemporaryDir dir;
    QString pdf;
};

} // namespace

TEST_F(ReportOverCatalog, ListClosedBeforeIsClosedAgainAndEveryStudentIsPrinted) {
    TADOQuery& students = *module.ADOQuery1;
    TADOTable& payments = *module.ADOTable3;
    reports.runReport(nullptr);
    EXPECT_FALSE(students.Active());
    EXPECT_FALSE(payments.Active());
    EXPECT_EQ(module.DataSource1->State(), TDataSetState::dsInactive); // the grid stays empty
    EXPECT_FALSE(students.ControlsDisabled() || payments.ControlsDisabled());

    const QString text = pdfText(pdf);
    for (const char* name :
         {"Петров", "Королёва", "O'Neil", "Александров", "Информационных технологий"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(text.contains(QStringLiteral("Страница 1 из ")));
    const QString ids = QString::fromStdString(
        testsupport::queryScalarSqlite(catalog, "select group_concat(Id_zach) from student"));
    for (const QString& id : ids.split(u','))
        EXPECT_TRUE(text.contains(id)) << id.toStdString();
}

TEST_F(ReportOverCatalog, ListOpenBeforeKeepsItsCurrentRowAndPaymentsOfEveryStudentArePrinted) {
    TADOQuery& students = *module.ADOQuery1;
    TADOTable& payments = *module.ADOTable3;
    students.Open();
    students.setRecNo(5);
    const std::string current = students.FieldByName("Id_zach")->DisplayText();
    payments.Open(); // follows the current student
    const std::string restriction = payments.restriction();
    const int paymentRows = payments.RecordCount();
    ASSERT_FALSE(restriction.empty());

    reports.runReport(nullptr);

    EXPECT_TRUE(students.Active());
    EXPECT_EQ(students.RecNo(), 5);
    EXPECT_EQ(students.FieldByName("Id_zach")->DisplayText(), current);
    EXPECT_TRUE(payments.Active());
    EXPECT_EQ(payments.restriction(), restriction);
    EXPECT_EQ(payments.RecordCount(), paymentRows);
    EXPECT_EQ(payments.MasterSource(), module.DataSource1);
    EXPECT_EQ(module.DataSource1->State(), TDataSetState::dsBrowse);

    // Payments appear under students other than the current one as well.
    const int withPayments = std::stoi(
        testsupport::queryScalarSqlite(catalog, "select count(distinct Id_zach) from Platej"));
    ASSERT_GT(withPayments, 1);
    const QString text = pdfText(pdf);
    EXPECT_GE(text.count(QStringLiteral("Дата платежа")), withPayments);
}

TEST_F(ReportOverCatalog, DatabaseErrorRestoresWhatWasOpened) {
    TADOQuery& students = *module.ADOQuery1;
    students.Open();
    students.setRecNo(2);
    testsupport::execSqlite(catalog, "drop table Platej");
    EXPECT_THROW(reports.runReport(nullptr), Exception);
    EXPECT_TRUE(students.Active());
    EXPECT_EQ(students.RecNo(), 2);
    EXPECT_FALSE(students.ControlsDisabled());
    EXPECT_FALSE(module.ADOTable3->Active());
    EXPECT_FALSE(module.ADOTable3->ControlsDisabled());
    EXPECT_EQ(module.ADOTable3->MasterSource(), module.DataSource1);
}

TEST_F(ReportOverCatalog, PaymentTableKeepsItsRowUnderTheSameStudent) {
    TADOQuery& students = *module.ADOQuery1;
    TADOTable& payments = *module.ADOTable3;
    students.Open();
    payments.Open();
    for (students.First(); !students.Eof() && payments.RecordCount() < 2; students.Next())
        ;
    ASSERT_GE(payments.RecordCount(), 2);
    const int student = students.RecNo();
    payments.Last();
    const int payment = payments.RecNo();

    reports.runReport(nullptr);

    EXPECT_EQ(students.RecNo(), student);
    EXPECT_EQ(payments.RecNo(), payment);
}

int main(int argc, char** argv) {
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    TReportLock::setDefaultPath(temp.filePath(QStringLiteral("report.lock")));
    QApplication app(argc, argv);
    setReportPrintersProvider([] { return QList<TReportPrinter>{}; });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
