#pragma once
// Generated pages: a list of positioned texts, lines and boxes per page. One
// paint function per page serves the preview, the printer and PDF alike.
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
    enum class Kind : std::uint8_t { Text = 1, Line = 2, Box = 3 };
    Kind kind = Kind::Text;
    QRectF rect; ///< text and box bounds; a line runs from topLeft to bottomRight
    QString text;
    std::uint16_t font = 0; ///< index into ReportPages::fonts
    Align align = Align::Left;
    double penWidth = 0.2;
};

struct ReportPage {
    std::vector<PageItem> items;
    bool operator==(const ReportPage& other) const;
};

/// The pages of one run, with the fonts they use.
class ReportPages {
public:
    QSizeF paperSize{210, 297}; ///< millimetres
    std::vector<FontSpec> fonts;
    std::vector<ReportPage> pages;

    /// Index of a font in `fonts`, adding it when new.
    std::uint16_t fontIndex(const FontSpec& font);
    int pageCount() const { return int(pages.size()); }
    /// Paints page `index` (from 0) scaled into `target`, in the painter's
    /// current coordinates. Paints no background.
    void paint(int index, QPainter& painter, const QRectF& target) const;
    bool operator==(const ReportPages& other) const;
};

} // namespace report
