#include "report/Form2Reports.h"

#include "data/module/Unit3.h"
#include "zemt/BuildConfig.h"

TForm2ReportComponents::TForm2ReportComponents()
    : ReportConnection1(QStringLiteral("ReportConnection1"), &m_students),
      ReportConnection2(QStringLiteral("ReportConnection2"), &m_payments) {
    ReportProject1.setProjectFile(QString::fromUtf8(ZEMT_REPORT_PROJECT));
}

void TForm2ReportComponents::bindReportConnections() {
    // The main window is created before the data module, so the data sets
    // are looked up when they exist.
    if (!DataModule3)
        return;
    if (!m_students.dataSet())
        m_students.setDataSet(DataModule3->ADOQuery1);
    if (!m_payments.dataSet())
        m_payments.setDataSet(DataModule3->ADOTable3);
}

void TForm2ReportComponents::runReport(QWidget* dialogParent) {
    bindReportConnections();
    ReportProject1.dialogParent = dialogParent;
    ReportProject1.Execute();
}
