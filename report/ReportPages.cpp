#include "report/ReportPages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace report {

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

QRectF toUnits(const QRectF& mm) {
    return QRectF(mm.x() * kUnitsPerMm, mm.y() * kUnitsPerMm, mm.width() * kUnitsPerMm,
                  mm.height() * kUnitsPerMm);
}

} // namespace

// Painting works in hundredths of a millimetre so that fonts, which only take
// whole pixel sizes, keep their size to within a fraction of a percent.
QFont pageFont(const FontSpec& face) {
    QFont font(face.family);
    font.setPixelSize(std::max(1, int(std::lround(face.pointSize * kMmPerPoint * kUnitsPerMm))));
    font.setBold(face.bold);
    font.setItalic(face.italic);
    font.setHintingPreference(QFont::PreferNoHinting); // same shapes at every zoom
    return font;
}

bool ReportPage::operator==(const ReportPage& other) const {
    if (items.size() != other.items.size())
        return false;
    for (size_t i = 0; i < items.size(); ++i) {
        const PageItem& a = items[i];
        const PageItem& b = other.items[i];
        if (a.kind != b.kind || a.rect != b.rect || a.text != b.text || a.font != b.font ||
            a.align != b.align || a.penWidth != b.penWidth)
            return false;
    }
    return true;
}

bool ReportPages::operator==(const ReportPages& other) const {
    return paperSize == other.paperSize && fonts == other.fonts && pages == other.pages;
}

std::uint16_t ReportPages::fontIndex(const FontSpec& font) {
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == font)
            return std::uint16_t(i);
    fonts.push_back(font);
    return std::uint16_t(fonts.size() - 1);
}

void ReportPages::paint(int index, QPainter& painter, const QRectF& target) const {
    if (index < 0 || index >= pageCount())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / (paperSize.width() * kUnitsPerMm),
                  target.height() / (paperSize.height() * kUnitsPerMm));
    std::vector<QFont> qfonts;
    std::vector<QFontMetricsF> metrics;
    qfonts.reserve(fonts.size());
    metrics.reserve(fonts.size());
    for (const FontSpec& face : fonts) {
        qfonts.push_back(pageFont(face));
        metrics.emplace_back(qfonts.back());
    }
    int currentFont = -1;
    double currentPen = -1;
    painter.setBrush(Qt::NoBrush);
    for (const PageItem& item : pages[size_t(index)].items) {
        if (item.kind == PageItem::Kind::Text) {
            if (item.font != currentFont && item.font < qfonts.size()) {
                painter.setFont(qfonts[item.font]);
                currentFont = item.font;
            }
            if (item.font >= qfonts.size())
                continue;
            // Texts are placed at their baseline: much cheaper than asking
            // the painter to lay out each one inside its rectangle.
            const QFontMetricsF& fm = metrics[item.font];
            const QRectF r = toUnits(item.rect);
            double x = r.x();
            if (item.align != Align::Left) {
                const double w = fm.horizontalAdvance(item.text);
                x = item.align == Align::Right ? r.right() - w : r.x() + (r.width() - w) / 2;
            }
            painter.drawText(QPointF(x, r.y() + (r.height() - fm.height()) / 2 + fm.ascent()),
                             item.text);
            continue;
        }
        if (item.penWidth != currentPen) {
            painter.setPen(QPen(Qt::black, item.penWidth * kUnitsPerMm));
            currentPen = item.penWidth;
        }
        const QRectF r = toUnits(item.rect);
        if (item.kind == PageItem::Kind::Line)
            painter.drawLine(r.topLeft(), r.bottomRight());
        else
            painter.drawRect(r);
    }
    painter.restore();
}

} // namespace report
