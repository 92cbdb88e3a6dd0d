#pragma once
// What printing needs of the print spooler beyond Qt: whether a queue still
// takes jobs, and the printer's own output of the pages written to a file,
// as its driver renders them.
#include "report/ReportPages.h"

#include <QString>

namespace report {

/// Throws EReportError unless the spooler has a queue `printer` that
/// accepts jobs now.
void checkPrinterAcceptsJobs(const QString& printer);

/// Writes the pages to `fileName` in the language of `printer`, through its
/// driver: the data the spooler would send to the device. A queue without a
/// driver passes documents on unchanged, so its output is the PDF itself.
/// Throws EReportError or EFOpenError on failure.
void writePrinterOutput(const PageSource& pages, const QString& printer, const QString& fileName,
                        const QString& title);

} // namespace report
