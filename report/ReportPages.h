#pragma once
// Generated pages: a list of positioned texts, lines and boxes per page. One
// paint function per page serves the preview, the printer and PDF alike.
//
// A run's pages are not held in memory: they are read one at a time from
// where they are kept (the run's temporary file, see Snapshot.h) through
// PageSource. ReportPages keeps them all in memory, for small sets of pages.
#include "report/ReportLayout.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <vector>

class QFont;
class QPainter;

namespace report {

/// Page items are painted in hundredths of a millimetre.
inline constexpr double kUnitsPerMm = 100.0;
/// The font that paints `face`, sized in those units.
QFont pageFont(const FontSpec& face);

/// One drawn element; geometry in millimetres from the paper's top left.
struct PageItem {
    /// PageNumber is a text whose `text` is a pattern: "%p" stands for the
    /// page's number and "%P" for the page count, filled in when painted.
    enum class Kind : std::uint8_t { Text = 1, Line = 2, Box = 3, PageNumber = 4 };
    Kind kind = Kind::Text;
    QRectF rect; ///< text and box bounds; a line runs from topLeft to bottomRight
    QString text;
    std::uint16_t font = 0; ///< index into the fonts of the pages
    Align align = Align::Left;
    double penWidth = 0.2;

    bool isText() const { return kind == Kind::Text || kind == Kind::PageNumber; }
    bool operator==(const PageItem& other) const = default;
};

struct ReportPage {
    std::vector<PageItem> items;
    bool operator==(const ReportPage& other) const = default;
};

/// A page-number pattern for page `page` (from 1) of `count`.
QString pageNumberText(const QString& pattern, int page, int count);

/// Pages read one at a time.
class PageSource {
public:
    virtual ~PageSource() = default;
    virtual QSizeF paper() const = 0; ///< millimetres
    virtual const std::vector<FontSpec>& fontList() const = 0;
    virtual int pageCount() const = 0;
    /// Page `index` (from 0) as stored: page numbers as their patterns.
    /// Throws EReportError when the page cannot be read.
    virtual ReportPage page(int index) const = 0;
    /// Page `index` without a copy where it is held in memory; otherwise
    /// read into `scratch`.
    virtual const ReportPage& page(int index, ReportPage& scratch) const {
        return scratch = page(index);
    }

    /// The text an item of page `index` shows (page numbers filled in).
    QString itemText(const PageItem& item, int index) const;
    /// Paints page `index` (from 0) scaled into `target`, in the painter's
    /// current coordinates. Paints no background.
    void paint(int index, QPainter& painter, const QRectF& target) const;
    /// The same for `shown`, page `index` already read.
    void paint(const ReportPage& shown, int index, QPainter& painter, const QRectF& target) const;
};

/// Paper, fonts and every page (page numbers as patterns) the same.
bool operator==(const PageSource& a, const PageSource& b);

/// Pages in memory.
class ReportPages : public PageSource {
public:
    QSizeF paperSize{210, 297}; ///< millimetres
    std::vector<FontSpec> fonts;
    std::vector<ReportPage> pages;

    /// Index of a font in `fonts`, adding it when new.
    std::uint16_t fontIndex(const FontSpec& font);

    QSizeF paper() const override { return paperSize; }
    const std::vector<FontSpec>& fontList() const override { return fonts; }
    int pageCount() const override { return int(pages.size()); }
    ReportPage page(int index) const override { return pages.at(size_t(index)); }
    const ReportPage& page(int index, ReportPage&) const override {
        return pages.at(size_t(index));
    }
};

/// Every page of `source` in memory (tests and small snapshots only).
ReportPages readAllPages(const PageSource& source);

} // namespace report
