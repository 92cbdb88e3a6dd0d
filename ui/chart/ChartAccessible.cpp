#include "ui/chart/ChartAccessible.h"

#include "shell/AccessibleTable.h"
#include "ui/chart/ChartFormat.h"
#include "ui/chart/TBarSeries.h"
#include "ui/chart/TDBChart.h"

#include <mutex>

namespace {

constexpr int kRoomColumn = 0;
constexpr int kPlacesColumn = 1;
constexpr int kColumns = 2;

/// The series the chart draws (its first), or nullptr.
const TBarSeries* shownSeries(const TDBChart* chart) {
    return chart && chart->SeriesCount() > 0 ? chart->Series(0) : nullptr;
}

int barCount(const TDBChart* chart) {
    const TBarSeries* series = shownSeries(chart);
    return series ? series->Count() : 0;
}

QString columnTitle(int column) {
    return column == kRoomColumn ? QStringLiteral("Комната") : QStringLiteral("Кол-во мест");
}

/// The text of a bar's cell: the room, or its places (empty when the room
/// has no place count, as no bar is drawn for it).
QString barText(const TDBChart* chart, int row, int column) {
    const TChartValue& point = shownSeries(chart)->point(row);
    if (column == kRoomColumn)
        return QString::fromStdString(point.label);
    return point.isNull ? QString() : formatChartValue(point.y);
}

TDBChart* asChart(QWidget* widget) { return static_cast<TDBChart*>(widget); }

/// One cell of a bar's row, or a column title when row is -1.
class ChartCellAccessible : public AccessibleTableCell {
public:
    using AccessibleTableCell::AccessibleTableCell;

    TDBChart* chart() const { return asChart(widget_.data()); }

    bool isValid() const override {
        return chart() && column_ >= 0 && column_ < kColumns && row_ < barCount(chart());
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return row_ < 0 ? columnTitle(column_) : barText(chart(), row_, column_);
    }
    void setText(QAccessible::Text, const QString&) override {}
    // The bars are drawn, not laid out as widgets: a cell stands for the chart's area.
    QRect rect() const override {
        if (!isValid())
            return {};
        return QRect(chart()->mapToGlobal(QPoint(0, 0)), chart()->size());
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invalid = !isValid();
        s.readOnly = true;
        s.invisible = !chart() || !chart()->isVisible();
        return s;
    }
};

/// The chart as a read-only table named by its title: the two column titles,
/// then each bar's room and places, row by row.
class ChartAccessible : public AccessibleTable {
public:
    explicit ChartAccessible(TDBChart* chart) : AccessibleTable(chart) {}

    TDBChart* chart() const { return asChart(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !chart()->accessibleName().isEmpty())
            return AccessibleTable::text(t);
        QStringList lines = chart()->titleText();
        lines.removeAll(QString());
        return lines.join(QLatin1Char(' '));
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    // Table.
    QString columnDescription(int column) const override {
        return column >= 0 && column < kColumns ? columnTitle(column) : QString();
    }
    QString rowDescription(int row) const override {
        return row >= 0 && row < rowCount() ? barText(chart(), row, kRoomColumn) : QString();
    }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return barCount(chart()); }

protected:
    AccessibleTableCell* makeCell(int row, int column) const override {
        return new ChartCellAccessible(chart(), row, column);
    }
};

QAccessibleInterface* chartFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TDBChart") && object && object->isWidgetType())
        return new ChartAccessible(static_cast<TDBChart*>(object));
    return nullptr;
}

} // namespace

void installChartAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(chartFactory); });
}

void notifyChartBarsChanged(TDBChart* chart) {
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent reset(chart, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
}

void notifyChartTitleChanged(TDBChart* chart) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent named(chart, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}
