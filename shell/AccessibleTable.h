#pragma once
// A widget that draws its own cells, shown to assistive technology as a
// table. The cells are no widgets, so their interfaces are made on demand,
// registered once and read the widget live; a model reset drops them all.
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class AccessibleTableCell;

/// The table. Children are the column titles, then the cells row by row;
/// a subclass may add children after them. Nothing is selected and nothing
/// can be selected unless a subclass says otherwise.
class AccessibleTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccessibleTable(QWidget* widget);
    ~AccessibleTable() override;

    void* interface_cast(QAccessible::InterfaceType type) override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString rowDescription(int) const override { return {}; }
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

    /// The cell at row and column (row -1: the column title), or nullptr
    /// outside the table. The same interface until the next model reset.
    QAccessibleInterface* cellInterface(int row, int column) const;

protected:
    /// A new interface for a cell that lies inside the table.
    virtual AccessibleTableCell* makeCell(int row, int column) const = 0;

private:
    void dropCells();

    mutable QHash<quint64, QAccessible::Id> cells_;
};

/// One cell of an AccessibleTable, or a column title when row is -1. Holds
/// only its place, so what it says is whatever the widget shows now.
class AccessibleTableCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    AccessibleTableCell(QWidget* widget, int row, int column);

    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override {
        return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

protected:
    QPointer<QWidget> widget_;
    int row_;
    int column_;
};
