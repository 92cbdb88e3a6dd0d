#pragma once
// The report components of the main window, ready to be mixed into TForm2:
// ReportProject1 over the shipped project file, ReportConnection1 over the
// student list ADOQuery1 and ReportConnection2 over the payment table
// ADOTable3.
#include "report/DataSetAccess.h"
#include "report/ReportDataConnection.h"
#include "report/ReportProject.h"

class QWidget;

class TForm2ReportComponents {
    // Declared first: the connections use them until they are destroyed.
    TDataSetAccess m_students;
    TDataSetAccess m_payments;

public:
    /// Creates the project (ProjectFile from the build configuration) and the
    /// two connections, registered by name from now on.
    TForm2ReportComponents();

    TReportProject ReportProject1;
    TReportDataSetConnection ReportConnection1;
    TReportDataSetConnection ReportConnection2;

    /// What "Распечатать отчет" does: binds the connections to DataModule3's
    /// data sets when that has not happened yet, then runs ReportProject1.
    /// Errors go to the caller (the default error display).
    void runReport(QWidget* dialogParent);
    /// Binds the connections to DataModule3->ADOQuery1 and ->ADOTable3.
    void bindReportConnections();
};
