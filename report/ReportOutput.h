#pragma once
// Delivery of generated pages to PDF and to printers.
#include "report/ReportPages.h"

#include <QString>
#include <vector>

class QPrinter;

namespace report {

/// Writes every page to a PDF file through QPdfWriter; throws EFOpenError
/// when the file cannot be written.
void writePdf(const PageSource& pages, const QString& fileName, const QString& title = {});

/// Pages to print, numbered from 1, in order.
std::vector<int> allPages(const PageSource& pages);
/// Pages first..last, clamped to the pages that exist.
std::vector<int> pageSpan(const PageSource& pages, int first, int last);
/// A selection such as "1-3,5": numbers and ranges separated by commas;
/// pages outside the report are left out, malformed parts are ignored.
std::vector<int> parsePageSelection(const QString& text, int pageCount);

/// Prints `pageNumbers` on `printer`. When the printer makes no copies
/// itself, the copies are sent one after another, collated or not. Throws
/// EReportError when the printer cannot start or finish the job.
void printPages(const PageSource& pages, QPrinter& printer, const std::vector<int>& pageNumbers,
                int copies, bool collate);

} // namespace report
