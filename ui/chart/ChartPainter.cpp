#include "ui/chart/ChartPainter.h"

#include "ui/chart/ChartFormat.h"
#include "ui/chart/TBarSeries.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace {

constexpr double kMargin = 8;
constexpr double kTitleGap = 4;
constexpr double kTick = 4;
constexpr double kLegendSymbol = 12;
constexpr double kLegendShadow = 3;

struct ValueAxis {
    double min = 0;
    double max = 1;
    double step = 0.1;

    /// The whole multiples of step from min to max, each computed rather than
    /// summed up, so that the label column and the drawn axis agree on every
    /// tick and zero reads as zero.
    std::vector<double> ticks() const {
        const double first = std::ceil(min / step - 1e-9);
        const double last = std::floor(max / step + 1e-9);
        std::vector<double> out;
        for (double i = first; i <= last; ++i)
            out.push_back(i == 0 ? 0.0 : i * step);
        return out;
    }
};

/// The chart's inner geometry: the front plane of the 3D box and its depth.
struct Frame {
    double left = 0, right = 0, top = 0, bottom = 0; // front plane
    double depth = 0;
    ValueAxis axis;
    double valueToY(double v) const {
        return bottom - (v - axis.min) / (axis.max - axis.min) * (bottom - top);
    }
};

std::vector<const TChartValue*> drawnPoints(const TBarSeries* series) {
    std::vector<const TChartValue*> out;
    if (series)
        for (const TChartValue& p : series->points())
            if (!p.isNull)
                out.push_back(&p);
    return out;
}

double niceStep(double range, int maxLabels) {
    const double raw = range / std::max(1, maxLabels);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * magnitude >= raw)
            return m * magnitude;
    return 10 * magnitude;
}

/// Stretches the value range so that a mark fits beyond the longest bar.
ValueAxis valueAxis(const std::vector<const TChartValue*>& points, double height, double reserve,
                    double labelHeight) {
    double lo = 0, hi = 0;
    for (const TChartValue* p : points) {
        lo = std::min(lo, p->y);
        hi = std::max(hi, p->y);
    }
    if (hi == lo)
        hi = lo + 1;
    if (reserve > 0 && height > 3 * reserve) {
        const double usable = height - (hi > 0 ? reserve : 0) - (lo < 0 ? reserve : 0);
        const double span = (hi - lo) * height / usable;
        const double extra = span - (hi - lo);
        if (lo < 0 && hi > 0) {
            hi += extra / 2;
            lo -= extra / 2;
        } else if (lo < 0) {
            lo -= extra;
        } else {
            hi += extra;
        }
    }
    ValueAxis axis{lo, hi, 1};
    axis.step = niceStep(hi - lo, static_cast<int>(height / (labelHeight * 2 + 4)));
    return axis;
}

double drawTitle(QPainter& painter, const QRectF& area, const ChartLook& look) {
    const QFontMetricsF fm(look.font);
    double y = area.top() + look.hiddenTop + kTitleGap;
    painter.setPen(look.titleColor);
    for (const QString& line : look.title) {
        painter.drawText(QRectF(area.left(), y, area.width(), fm.height()), Qt::AlignCenter, line);
        y += fm.height();
    }
    return y;
}

/// Draws the legend at the right edge; returns its left edge (area.right() without one).
/// Every point has its row, also one with no bar (its colour box stays empty).
double drawLegend(QPainter& painter, const QRectF& area, double top, const ChartLook& look,
                  const TBarSeries* series) {
    if (!look.legendVisible || !series || series->Count() == 0)
        return area.right();
    const std::vector<TChartValue>& points = series->points();
    const QFontMetricsF fm(look.font);
    const double rowHeight = std::max(fm.height(), kLegendSymbol) + 2;
    const double available = area.bottom() - top - 2 * kMargin - kLegendShadow - 6;
    const size_t rows =
        std::min(points.size(), static_cast<size_t>(std::max(0.0, available / rowHeight)));
    if (rows == 0)
        return area.right();
    std::vector<QString> texts;
    double textWidth = 0;
    for (size_t i = 0; i < rows; ++i) {
        texts.push_back(chartLegendText(points[i]));
        textWidth = std::max(textWidth, fm.horizontalAdvance(texts.back()));
    }
    const double width = 4 + kLegendSymbol + 4 + textWidth + 6;
    const double height = rows * rowHeight + 6;
    const double left = area.right() - kMargin - kLegendShadow - width;
    const double boxTop = top + std::max(0.0, (area.bottom() - top - height) / 2);
    const QRectF box(left, boxTop, width, height);
    painter.fillRect(box.translated(kLegendShadow, kLegendShadow), Qt::black);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    for (size_t i = 0; i < rows; ++i) {
        const double y = boxTop + 3 + i * rowHeight;
        const QRectF symbol(left + 4, y + (rowHeight - kLegendSymbol) / 2, kLegendSymbol - 2,
                            kLegendSymbol - 2);
        painter.setBrush(points[i].isNull ? QBrush(Qt::NoBrush) : QBrush(series->SeriesColor));
        painter.drawRect(symbol);
        painter.drawText(QRectF(symbol.right() + 6, y, textWidth + 4, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, texts[i]);
    }
    return left;
}

void drawWalls(QPainter& painter, const Frame& f, const ChartLook& look) {
    const double d = f.depth;
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(look.backWallColor);
    painter.drawRect(QRectF(f.left + d, f.top - d, f.right - f.left, f.bottom - f.top));
    if (d <= 0)
        return;
    painter.setBrush(look.leftWallColor);
    painter.drawPolygon(QPolygonF({{f.left, f.top},
                                   {f.left + d, f.top - d},
                                   {f.left + d, f.bottom - d},
                                   {f.left, f.bottom}}));
    painter.setBrush(look.bottomWallColor);
    painter.drawPolygon(QPolygonF({{f.left, f.bottom},
                                   {f.left + d, f.bottom - d},
                                   {f.right + d, f.bottom - d},
                                   {f.right, f.bottom}}));
}

void drawValueAxis(QPainter& painter, const Frame& f, const QFontMetricsF& fm) {
    const double d = f.depth;
    for (double v : f.axis.ticks()) {
        const double y = f.valueToY(v);
        painter.setPen(QPen(QColor(160, 160, 160), 0, Qt::DotLine));
        painter.drawLine(QPointF(f.left, y), QPointF(f.left + d, y - d));
        painter.drawLine(QPointF(f.left + d, y - d), QPointF(f.right + d, y - d));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(f.left - kTick, y), QPointF(f.left, y));
        painter.drawText(QRectF(0, y - fm.height() / 2, f.left - kTick - 2, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, formatChartValue(v));
    }
    painter.drawLine(QPointF(f.left, f.top), QPointF(f.left, f.bottom));
}

struct Bands {
    double first = 0;
    double width = 1;
    double centre(const Frame& f, double x) const { return f.left + (x - first + 0.5) * width; }
};

Bands barBands(const TBarSeries* series, const Frame& f) {
    if (!series || series->Count() == 0)
        return {};
    double lo = series->point(0).x, hi = lo;
    for (const TChartValue& p : series->points()) {
        lo = std::min(lo, p.x);
        hi = std::max(hi, p.x);
    }
    // Side margins: half a slot before the first bar and after the last.
    return {lo, (f.right - f.left) / (hi - lo + 1)};
}

void drawBar(QPainter& painter, const Frame& f, const Bands& bands, const TChartValue& p,
             const QColor& colour, int widthPercent) {
    const double half = bands.width * widthPercent / 200.0;
    const double cx = bands.centre(f, p.x);
    const double origin = std::clamp(f.valueToY(0), f.top, f.bottom);
    const double end = f.valueToY(p.y);
    const double upper = std::min(origin, end), lower = std::max(origin, end);
    const double l = cx - half, r = cx + half, d = f.depth;
    const bool outline = half * 2 >= 6;
    painter.setPen(outline ? QPen(Qt::black, 0) : QPen(Qt::NoPen));
    if (d > 0) {
        painter.setBrush(colour.darker(125));
        painter.drawPolygon(
            QPolygonF({{l, upper}, {l + d, upper - d}, {r + d, upper - d}, {r, upper}}));
        painter.setBrush(colour.darker(170));
        painter.drawPolygon(
            QPolygonF({{r, upper}, {r + d, upper - d}, {r + d, lower - d}, {r, lower}}));
    }
    painter.setBrush(colour);
    painter.drawRect(QRectF(l, upper, r - l, lower - upper));
}

void drawCategoryAxis(QPainter& painter, const Frame& f, const Bands& bands,
                      const TBarSeries* series, const QFontMetricsF& fm) {
    painter.setPen(Qt::black);
    painter.drawLine(QPointF(f.left, f.bottom), QPointF(f.right, f.bottom));
    if (!series)
        return;
    double lastRight = -1e9;
    for (const TChartValue& p : series->points()) {
        const double cx = bands.centre(f, p.x);
        if (p.label.empty())
            continue;
        const QString label = QString::fromStdString(p.label);
        const double w = fm.horizontalAdvance(label);
        if (cx - w / 2 < lastRight + 4)
            continue;
        painter.drawLine(QPointF(cx, f.bottom), QPointF(cx, f.bottom + kTick));
        painter.drawText(QRectF(cx - w / 2 - 1, f.bottom + kTick + 1, w + 2, fm.height()),
                         Qt::AlignCenter, label);
        lastRight = cx + w / 2;
    }
}

void drawMarks(QPainter& painter, const Frame& f, const Bands& bands, const TBarSeries& series,
               const ChartLook& look, const QFontMetricsF& fm) {
    std::deque<QRectF> drawn;
    double widest = 0;
    for (const TChartValue& p : series.points()) {
        if (p.isNull)
            continue;
        const QString text = chartMarkText(p);
        const double w = fm.horizontalAdvance(text) + 6, h = fm.height() + 2;
        widest = std::max(widest, w);
        const QPointF anchor(bands.centre(f, p.x) + f.depth / 2, f.valueToY(p.y) - f.depth / 2);
        const bool below = p.y < 0;
        const double boxY =
            below ? anchor.y() + series.MarksArrowLength : anchor.y() - series.MarksArrowLength - h;
        const QRectF box(anchor.x() - w / 2, boxY, w, h);
        while (!drawn.empty() && drawn.front().right() < box.left() - widest)
            drawn.pop_front();
        const QRectF spaced = box.adjusted(-2, -1, 2, 1);
        if (std::any_of(drawn.begin(), drawn.end(),
                        [&](const QRectF& r) { return r.intersects(spaced); }))
            continue;
        drawn.push_back(box);
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(anchor, QPointF(anchor.x(), below ? box.top() : box.bottom()));
        painter.setBrush(look.markColor);
        painter.drawRect(box);
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

} // namespace

void paintBarChart(QPainter& painter, const QRectF& area, const ChartLook& look,
                   const TBarSeries* series) {
    painter.save();
    painter.setClipRect(area);
    painter.setFont(look.font);
    painter.fillRect(area, look.panelColor);
    const QFontMetricsF fm(look.font);
    const std::vector<const TChartValue*> points = drawnPoints(series);

    const double titleBottom = drawTitle(painter, area, look);
    const double legendLeft = drawLegend(painter, area, titleBottom, look, series);

    Frame f;
    const double plotTop = titleBottom + kMargin;
    const double plotBottom = area.bottom() - kMargin - fm.height() - kTick - 2;
    const double plotRight = legendLeft - 2 * kMargin;
    const double plotHeight = plotBottom - plotTop;
    const bool marks = series && series->MarksVisible && !points.empty();
    const double reserve = marks ? series->MarksArrowLength + fm.height() + 6 : 0;

    // The depth comes off the front plane; the axis labels need the value range first.
    const double provisionalDepth =
        look.view3D ? look.depthPercent / 100.0 * std::min(plotHeight, plotRight - area.left()) : 0;
    f.depth = std::round(provisionalDepth);
    f.axis = valueAxis(points, plotHeight - f.depth, reserve, fm.height());
    double labelWidth = 0;
    for (double v : f.axis.ticks())
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(formatChartValue(v)));
    f.left = area.left() + kMargin + labelWidth + kTick + 2;
    f.right = plotRight - f.depth;
    f.top = plotTop + f.depth;
    f.bottom = plotBottom;

    painter.setRenderHint(QPainter::Antialiasing, false);
    drawWalls(painter, f, look);
    drawValueAxis(painter, f, fm);
    const Bands bands = barBands(series, f);
    if (series) {
        for (const TChartValue& p : series->points())
            if (!p.isNull)
                drawBar(painter, f, bands, p, series->SeriesColor, series->BarWidthPercent);
    }
    drawCategoryAxis(painter, f, bands, series, fm);
    if (marks)
        drawMarks(painter, f, bands, *series, look, fm);
    painter.restore();
}
