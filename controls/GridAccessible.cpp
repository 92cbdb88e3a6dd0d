#include "controls/GridAccessible.h"

#include "controls/GridEditor.h"
#include "controls/TDBGrid.h"
#include "data/dataset/TField.h"
#include "shell/AccessibleTable.h"

#include <mutex>

namespace {

TDBGrid* asGrid(QWidget* widget) { return static_cast<TDBGrid*>(widget); }

/// One cell, or a column title when row is -1; a data cell can be made
/// current and edited through the cell editor.
class GridCellAccessible : public AccessibleTableCell, public QAccessibleActionInterface {
public:
    using AccessibleTableCell::AccessibleTableCell;

    TDBGrid* grid() const { return asGrid(widget_.data()); }

    bool isValid() const override {
        return grid() && column_ < grid()->columnCount() &&
               (row_ < 0 || row_ < grid()->rowCount());
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return row_ < 0 ? grid()->columnTitle(column_) : grid()->cellText(row_, column_);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (!isValid() || row_ < 0 || (t != QAccessible::Value && t != QAccessible::Name))
            return;
        // Moving to another column, or a posted row, resets the grid's table
        // while a screen reader listens; that deletes every cell interface,
        // this one too. Go on with copies only.
        const QPointer<TDBGrid> grid = this->grid();
        const int row = row_;
        const int column = column_;
        grid->selectCell(row, column);
        if (grid && grid->currentRow() == row && grid->currentColumn() == column)
            grid->editCurrentCell(text);
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = grid()->cellRect(row_, column_);
        if (local.isEmpty())
            return {};
        return QRect(grid()->viewport()->mapToGlobal(local.topLeft()), local.size());
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
        s.focused = current && (grid()->hasFocus() || grid()->editor()->hasFocus());
        if (const TField* field = grid()->columnField(column_))
            s.editable = field->CanModify();
        s.invisible = grid()->cellRect(row_, column_).isEmpty();
        s.offscreen = s.invisible;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && row_ >= 0)
            return static_cast<QAccessibleActionInterface*>(this);
        return AccessibleTableCell::interface_cast(type);
    }

    bool isSelected() const override {
        return grid() && row_ >= 0 && row_ == grid()->currentRow() &&
               column_ == grid()->currentColumn();
    }

    // Actions: make the cell current.
    QStringList actionNames() const override { return {setFocusAction(), pressAction()}; }
    void doAction(const QString& name) override {
        if (!isValid() || (name != setFocusAction() && name != pressAction()))
            return;
        // As in setText: this interface may be gone once the grid has moved.
        const QPointer<TDBGrid> grid = this->grid();
        const int row = row_;
        const int column = column_;
        grid->setFocus(Qt::OtherFocusReason);
        if (grid)
            grid->selectCell(row, column);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

/// The grid as a table: the column titles, the data cells row by row, then
/// the cell editor while it is open. The current cell is the one selected.
class GridAccessible : public AccessibleTable {
public:
    explicit GridAccessible(TDBGrid* grid) : AccessibleTable(grid) {}

    TDBGrid* grid() const { return asGrid(widget()); }

    int childCount() const override {
        return AccessibleTable::childCount() + (grid()->editorMode() ? 1 : 0);
    }
    QAccessibleInterface* child(int index) const override {
        if (index == editorIndex() && grid()->editorMode())
            return QAccessible::queryAccessibleInterface(grid()->editor());
        return AccessibleTable::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child && child->object() == grid()->editor())
            return grid()->editorMode() ? editorIndex() : -1;
        return AccessibleTable::indexOfChild(child);
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
    QString columnDescription(int column) const override { return grid()->columnTitle(column); }
    int columnCount() const override { return grid()->columnCount(); }
    int rowCount() const override { return grid()->rowCount(); }
    int selectedCellCount() const override { return grid()->currentRow() >= 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        if (grid()->currentRow() < 0)
            return {};
        return {cellInterface(grid()->currentRow(), grid()->currentColumn())};
    }
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

protected:
    AccessibleTableCell* makeCell(int row, int column) const override {
        return new GridCellAccessible(grid(), row, column);
    }

private:
    int editorIndex() const { return columnCount() * (rowCount() + 1); }
};

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
