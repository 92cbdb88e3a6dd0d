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

QString pageNumberText(const QString& pattern, int page, int count) {
    QString text = pattern;
    text.replace(QStringLiteral("%p"), QString::number(page));
    return text.replace(QStringLiteral("%P"), QString::number(count));
}

QString PageSource::itemText(const PageItem& item, int index) const {
    if (item.kind == PageItem::Kind::PageNumber)
        return pageNumberText(item.text, index + 1, pageCount());
    return item.kind == PageItem::Kind::Text ? item.text : QString();
}

bool operator==(const PageSource& a, const PageSource& b) {
    if (a.paper() != b.paper() || a.fontList() != b.fontList() || a.pageCount() != b.pageCount())
        return false;
    for (int i = 0; i < a.pageCount(); ++i)
        if (!(a.page(i) == b.page(i)))
            return false;
    return true;
}

std::uint16_t ReportPages::fontIndex(const FontSpec& font) {
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == font)
            return std::uint16_t(i);
    fonts.push_back(font);
    return std::uint16_t(fonts.size() - 1);
}

ReportPages readAllPages(const PageSource& source) {
    ReportPages out;
    out.paperSize = source.paper();
    out.fonts = source.fontList();
    out.pages.reserve(size_t(source.pageCount()));
    for (int i = 0; i < source.pageCount(); ++i)
        out.pages.push_back(source.page(i));
    return out;
}

void PageSource::paint(int index, QPainter& painter, const QRectF& target) const {
    if (index < 0 || index >= pageCount())
        return;
    ReportPage scratch;
    paint(page(index, scratch), index, painter, target);
}

void PageSource::paint(const ReportPage& shown, int index, QPainter& painter,
                       const QRectF& target) const {
    painter.save();
    painter.translate(target.topLeft());
    const QSizeF paperSize = paper();
    painter.scale(target.width() / (paperSize.width() * kUnitsPerMm),
                  target.height() / (paperSize.height() * kUnitsPerMm));
    std::vector<QFont> qfonts;
    std::vector<QFontMetricsF> metrics;
    qfonts.reserve(fontList().size());
    metrics.reserve(fontList().size());
    for (const FontSpec& face : fontList()) {
        qfonts.push_back(pageFont(face));
        metrics.emplace_back(qfonts.back());
    }
    int currentFont = -1;
    double currentPen = -1;
    painter.setBrush(Qt::NoBrush);
    for (const PageItem& item : shown.items) {
        if (item.isText()) {
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
            const QString text = itemText(item, index);
            double x = r.x();
            if (item.align != Align::Left) {
                const double w = fm.horizontalAdvance(text);
                x = item.align == Align::Right ? r.right() - w : r.x() + (r.width() - w) / 2;
            }
            painter.drawText(QPointF(x, r.y() + (r.height() - fm.height()) / 2 + fm.ascent()),
                             text);
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
