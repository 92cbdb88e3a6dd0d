#include "ui/chart/ChartAccessible.h"

#include "ui/chart/ChartFormat.h"
#include "ui/chart/TBarSeries.h"
#include "ui/chart/TDBChart.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
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

/// One cell of a bar's row, or a column title when row is -1. Reads the
/// chart live, so a cached cell never shows stale text.
class ChartCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    ChartCellAccessible(TDBChart* chart, int row, int column)
        : chart_(chart), row_(row), column_(column) {}

    bool isValid() const override {
        return chart_ && column_ >= 0 && column_ < kColumns && row_ < barCount(chart_);
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return chart_ ? chart_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return chart_ ? QAccessible::queryAccessibleInterface(chart_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return row_ < 0 ? columnTitle(column_) : barText(chart_, row_, column_);
    }
    void setText(QAccessible::Text, const QString&) override {}
    // The bars are drawn, not laid out as widgets: a cell stands for the chart's area.
    QRect rect() const override {
        if (!isValid())
            return {};
        return QRect(chart_->mapToGlobal(QPoint(0, 0)), chart_->size());
    }
    QAccessible::Role role() const override {
        return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invalid = !isValid();
        s.readOnly = true;
        s.invisible = !chart_ || !chart_->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<TDBChart> chart_;
    int row_;
    int column_;
};

/// The chart as a read-only table named by its title. Children are the two
/// column titles, then each bar's room and places, row by row.
class ChartAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ChartAccessible(TDBChart* chart) : QAccessibleWidget(chart, QAccessible::Table) {}
    ~ChartAccessible() override { dropCells(); }

    TDBChart* chart() const { return static_cast<TDBChart*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !chart()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        QStringList lines = chart()->titleText();
        lines.removeAll(QString());
        return lines.join(QLatin1Char(' '));
    }

    int childCount() const override { return kColumns * (rowCount() + 1); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        return cellInterface(index / kColumns - 1, index % kColumns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const ChartCellAccessible*>(child);
        if (!cell || cell->table() != this || !cell->isValid())
            return -1;
        return (cell->rowIndex() + 1) * kColumns + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    // Table.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override {
        return column >= 0 && column < kColumns ? columnTitle(column) : QString();
    }
    QString rowDescription(int row) const override {
        return row >= 0 && row < rowCount() ? barText(chart(), row, kRoomColumn) : QString();
    }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return barCount(chart()); }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return cellInterface(row, column);
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { dropCells(); }

    QAccessibleInterface* cellInterface(int row, int column) const {
        if (column < 0 || column >= kColumns || row < -1 || row >= rowCount())
            return nullptr;
        const quint64 key = (quint64(quint32(row + 1)) << 32) | quint32(column);
        if (const auto it = cells_.constFind(key); it != cells_.cend())
            return QAccessible::accessibleInterface(it.value());
        auto* cell = new ChartCellAccessible(chart(), row, column);
        cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

private:
    void dropCells() {
        for (QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable QHash<quint64, QAccessible::Id> cells_;
};

QList<QAccessibleInterface*> ChartCellAccessible::columnHeaderCells() const {
    if (!chart_ || row_ < 0)
        return {};
    if (auto* table = dynamic_cast<ChartAccessible*>(parent()))
        return {table->cellInterface(-1, column_)};
    return {};
}

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
