#pragma once
// The data grid as assistive technology sees it: a table of cells with
// column titles, the current cell selected, edits through the cell editor.
class QAccessibleInterface;
class TDBGrid;

/// Installs the accessibility factory of the grid (once per process).
void installGridAccessibility();

/// The accessible cell of a grid (row -1: the column title), or nullptr.
QAccessibleInterface* gridCellInterface(TDBGrid* grid, int row, int column);
