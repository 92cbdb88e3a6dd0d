#include "shell/AccessibleTable.h"

#include <QWidget>

namespace {

quint64 cellKey(int row, int column) {
    return (quint64(quint32(row + 1)) << 32) | quint32(column);
}

} // namespace

AccessibleTable::AccessibleTable(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Table) {}

AccessibleTable::~AccessibleTable() { dropCells(); }

void* AccessibleTable::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int AccessibleTable::childCount() const { return columnCount() * (rowCount() + 1); }

QAccessibleInterface* AccessibleTable::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns == 0 || index >= columns * (rowCount() + 1))
        return nullptr;
    return cellInterface(index / columns - 1, index % columns);
}

int AccessibleTable::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const AccessibleTableCell*>(child);
    if (!cell || cell->table() != this || !cell->isValid())
        return -1;
    return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
}

QAccessibleInterface* AccessibleTable::cellInterface(int row, int column) const {
    if (column < 0 || column >= columnCount() || row < -1 || row >= rowCount())
        return nullptr;
    const quint64 key = cellKey(row, column);
    if (const auto it = cells_.constFind(key); it != cells_.cend())
        return QAccessible::accessibleInterface(it.value());
    AccessibleTableCell* cell = makeCell(row, column);
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

void AccessibleTable::dropCells() {
    for (QAccessible::Id id : std::as_const(cells_))
        QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}

AccessibleTableCell::AccessibleTableCell(QWidget* widget, int row, int column)
    : widget_(widget), row_(row), column_(column) {}

QWindow* AccessibleTableCell::window() const {
    return widget_ ? widget_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleTableCell::parent() const {
    return widget_ ? QAccessible::queryAccessibleInterface(widget_.data()) : nullptr;
}

void* AccessibleTableCell::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

QList<QAccessibleInterface*> AccessibleTableCell::columnHeaderCells() const {
    if (row_ < 0)
        return {};
    if (auto* table = dynamic_cast<AccessibleTable*>(parent()))
        return {table->cellInterface(-1, column_)};
    return {};
}
