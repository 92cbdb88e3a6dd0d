#include "controls/GridAccessible.h"

#include "controls/GridEditor.h"
#include "controls/TDBGrid.h"
#include "data/dataset/TField.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <mutex>

namespace {

class GridAccessible;

/// One cell, or a column title when row is -1. Reads the grid live, so a
/// cached cell never shows stale text.
class GridCellAccessible : public QAccessibleInterface,
                           public QAccessibleTableCellInterface,
                           public QAccessibleActionInterface {
public:
    GridCellAccessible(TDBGrid* grid, int row, int column)
        : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override {
        return grid_ && column_ < grid_->columnCount() && (row_ < 0 || row_ < grid_->rowCount());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return row_ < 0 ? grid_->columnTitle(column_) : grid_->cellText(row_, column_);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (!isValid() || row_ < 0 || (t != QAccessible::Value && t != QAccessible::Name))
            return;
        // Moving to another column, or a posted row, resets the grid's table
        // while a screen reader listens; that deletes every cell interface,
        // this one too. Go on with copies only.
        const QPointer<TDBGrid> grid = grid_;
        const int row = row_;
        const int column = column_;
        grid->selectCell(row, column);
        if (grid && grid->currentRow() == row && grid->currentColumn() == column)
            grid->editCurrentCell(text);
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = grid_->cellRect(row_, column_);
        if (local.isEmpty())
            return {};
        return QRect(grid_->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        if (row_ < 0)
            return s;
        s.selectable = true;
        s.focusable = true;
        const bool current = isSelected();
        s.selected = current;
        s.active = current;
        s.focused = current && (grid_->hasFocus() || grid_->editor()->hasFocus());
        if (const TField* field = grid_->columnField(column_))
            s.editable = field->CanModify();
        s.invisible = grid_->cellRect(row_, column_).isEmpty();
        s.offscreen = s.invisible;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface && row_ >= 0)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    // Table cell.
    bool isSelected() const override {
        return grid_ && row_ >= 0 && row_ == grid_->currentRow() &&
               column_ == grid_->currentColumn();
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // Actions: make the cell current.
    QStringList actionNames() const override { return {setFocusAction(), pressAction()}; }
    void doAction(const QString& name) override {
        if (!isValid() || (name != setFocusAction() && name != pressAction()))
            return;
        // As in setText: this interface may be gone once the grid has moved.
        const QPointer<TDBGrid> grid = grid_;
        const int row = row_;
        const int column = column_;
        grid->setFocus(Qt::OtherFocusReason);
        if (grid)
            grid->selectCell(row, column);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TDBGrid> grid_;
    int row_;
    int column_;
};

/// The grid as a table. Children are the column titles, then the data cells
/// row by row, then the cell editor while it is open.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(TDBGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridAccessible() override { dropCells(); }

    TDBGrid* grid() const { return static_cast<TDBGrid*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override {
        return columnCount() * (rowCount() + 1) + (grid()->editorMode() ? 1 : 0);
    }
    QAccessibleInterface* child(int index) const override {
        const int columns = columnCount();
        if (index < 0 || columns == 0)
            return nullptr;
        if (index < columns * (rowCount() + 1))
            return cellInterface(index / columns - 1, index % columns);
        if (index == columns * (rowCount() + 1) && grid()->editorMode())
            return QAccessible::queryAccessibleInterface(grid()->editor());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        if (child->object() == grid()->editor())
            return grid()->editorMode() ? columnCount() * (rowCount() + 1) : -1;
        if (const auto* cell = dynamic_cast<const GridCellAccessible*>(child))
            return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
        return -1;
    }
    /// The cell editor while it is open, else the current cell.
    QAccessibleInterface* focusChild() const override {
        if (grid()->editorMode())
            return QAccessible::queryAccessibleInterface(grid()->editor());
        if (grid()->currentRow() < 0)
            return nullptr;
        return cellInterface(grid()->currentRow(), grid()->currentColumn());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = grid()->viewport()->mapFromGlobal(QPoint(x, y));
        int row = 0;
        int column = 0;
        if (!grid()->cellAt(local, row, column) || column < 0)
            return nullptr;
        return cellInterface(row, column);
    }

    // Table.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override { return grid()->columnTitle(column); }
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override { return grid()->columnCount(); }
    int rowCount() const override { return grid()->rowCount(); }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return cellInterface(row, column);
    }
    int selectedCellCount() const override { return grid()->currentRow() >= 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        if (grid()->currentRow() < 0)
            return {};
        return {cellInterface(grid()->currentRow(), grid()->currentColumn())};
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int row) override {
        if (row < 0 || row >= rowCount())
            return false;
        grid()->selectCell(row, grid()->currentColumn());
        return grid()->currentRow() == row;
    }
    bool selectColumn(int column) override {
        if (column < 0 || column >= columnCount())
            return false;
        grid()->setCurrentColumn(column);
        return true;
    }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { dropCells(); }

    QAccessibleInterface* cellInterface(int row, int column) const {
        if (column < 0 || column >= columnCount() || row < -1 || row >= rowCount())
            return nullptr;
        const quint64 key = (quint64(quint32(row + 1)) << 32) | quint32(column);
        if (const auto it = cells_.constFind(key); it != cells_.cend())
            return QAccessible::accessibleInterface(it.value());
        auto* cell = new GridCellAccessible(grid(), row, column);
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

QList<QAccessibleInterface*> GridCellAccessible::columnHeaderCells() const {
    if (!grid_ || row_ < 0)
        return {};
    if (auto* table = dynamic_cast<GridAccessible*>(parent()))
        return {table->cellInterface(-1, column_)};
    return {};
}

QAccessibleInterface* gridFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TDBGrid") && object && object->isWidgetType())
        return new GridAccessible(static_cast<TDBGrid*>(object));
    return nullptr;
}

} // namespace

void installGridAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(gridFactory); });
}

QAccessibleInterface* gridCellInterface(TDBGrid* grid, int row, int column) {
    auto* table = dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(grid));
    return table ? table->cellInterface(row, column) : nullptr;
}
