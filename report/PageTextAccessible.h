#pragma once
// The preview's page as assistive technology reads it: a document named by
// its page number whose text is the page's texts, line by line.
#include <QStringList>
#include <functional>

class QWidget;

namespace report {

class PageSource;
struct ReportPage;

/// The texts of page `index` (from 0) as lines, top to bottom; the texts of
/// one line are joined by tabs, left to right. A page that cannot be read
/// has no lines.
QStringList pageTextLines(const PageSource& pages, int index);
/// The same for `page`, page `index` already read.
QStringList pageTextLines(const PageSource& pages, const ReportPage& page, int index);

/// Exposes `view` as the document of the shown page: `pageNumber` gives the
/// page shown (from 1), `text` its lines joined by newlines.
void exposePageText(QWidget* view, std::function<int()> pageNumber, std::function<QString()> text);

/// Tells assistive technology that `view` shows another page or zoom.
void notifyPageTextChanged(QWidget* view);

} // namespace report
