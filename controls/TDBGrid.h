#pragma once
// The data grid: shows the rows of one data set, moves its current row and
// edits it in place. It paints only the rows in view, straight from the data
// set's held rows; nothing is copied into an item model.
#include "controls/CellEditorHost.h"
#include "controls/ControlDataLink.h"
#include "controls/DataSourceBinding.h"
#include "controls/GridColumns.h"
#include "data/dataset/TDataSetState.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <exception>

class GridEditor;
class TDataSet;
class TDataSource;
class TField;

/// A grid bound to a data source.
///
/// The window declares the data source by name (property dataSourceName) and
/// optionally a fixed column list (property columnList, e.g.
/// "Id_zach;Fname;Fakultet:96"); without one the grid shows every field of
/// the data set. Every move and edit goes through the data set, so all
/// controls on the same data source follow. Errors raised by the data set are
/// handed to the application's default error display; the grid keeps its
/// cell editor.
class TDBGrid : public QAbstractScrollArea, private DataLinkClient, private CellEditorHost {
    Q_OBJECT
    Q_PROPERTY(QString dataSourceName READ dataSourceName WRITE setDataSourceName)
    Q_PROPERTY(QString columnList READ columnList WRITE setColumnList)

public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    // ---- binding ---------------------------------------------------------

    QString dataSourceName() const { return binding_.name(); }
    /// Binds to the data module's data source of that name (now or when the module is created).
    void setDataSourceName(const QString& name);
    /// The fixed column list as declared; empty for a default column list.
    QString columnList() const;
    void setColumnList(const QString& text);
    /// The data source shown, or nullptr.
    TDataSource* DataSource() const { return link_.DataSource(); }
    /// Binds to a data source directly.
    void setDataSource(TDataSource* source);
    /// The data set of the data source while it is open; nullptr otherwise.
    TDataSet* activeDataSet() const;

    // ---- what the grid shows ---------------------------------------------

    int columnCount() const { return columns_.count(); }
    QString columnTitle(int column) const;
    /// Column width in pixels, without the grid line.
    int columnWidth(int column) const;
    /// The field shown in a column, or nullptr.
    TField* columnField(int column) const;
    /// Data rows shown: the data set's rows with a pending new row; 0 when closed.
    int rowCount() const;
    /// Display text of a cell; empty for a column without a field.
    QString cellText(int row, int column) const;
    /// Current row (from 0) among rowCount(); -1 when none.
    int currentRow() const;
    /// Current column (from 0).
    int currentColumn() const { return col_; }
    /// Makes a column current (clamped).
    void setCurrentColumn(int column);
    /// First data row in view.
    int topRow() const { return top_; }
    /// Data rows that fit entirely in view (at least 1).
    int visibleRowCount() const;
    /// Height of a row and of the title row, grid line included.
    int rowPitch() const { return rowPitch_; }
    /// Viewport rectangle of a cell without its grid lines; row -1 is the title
    /// row. Empty when the cell is out of view.
    QRect cellRect(int row, int column) const;
    /// The cell at a viewport position: row -1 is the title row, column -1
    /// the indicator column. Returns false outside every cell.
    bool cellAt(QPoint pos, int& row, int& column) const;

    // ---- cell editor -----------------------------------------------------

    bool editorMode() const { return editorOpen_; }
    QString editorText() const;
    /// The in-place editor widget (hidden while closed).
    GridEditor* editor() const { return editor_; }
    /// Opens the editor on the current cell, or closes it.
    void setEditorMode(bool open);
    /// Writes text into the current cell through the cell editor, as typing
    /// would: starts editing, writes the text into the field. Returns whether
    /// the text reached the field (used by assistive technology).
    bool editCurrentCell(const QString& text);
    /// Makes a cell current, as a click on it would.
    void selectCell(int row, int column);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Data link notices.
    void linkActiveChanged() override;
    void linkRecordChanged(TField* field) override;
    void linkDataSetChanged() override;
    void linkDataSetScrolled(int distance) override;
    void linkLayoutChanged() override;
    void linkEditingChanged() override;
    void linkUpdateData() override;

    // Layout and scrolling (TDBGrid.cpp).
    void layoutColumns();
    void updateMetrics();
    void followCurrentRow();
    void ensureColumnVisible();
    void updateScrollBars();
    void verticalAction(int action);
    void verticalReleased();
    void horizontalMoved(int value);
    int columnLeft(int column) const;
    int indicatorPitch() const;
    void notifyAccessibility();

    // Painting (TDBGridPaint.cpp).
    void paintTitleRow(QPainter& painter);
    void paintDataRows(QPainter& painter);
    void paintCell(QPainter& painter, const QRect& rect, int row, int column, bool current);
    void paintIndicatorCell(QPainter& painter, const QRect& rect, bool current);
    void paintDragFeedback(QPainter& painter);

    // Operator actions (TDBGridInput.cpp).
    void handleKey(QKeyEvent* event);
    void typeCharacter(const QString& text);
    void moveBy(int distance);
    void moveUp();
    void moveDown();
    void tabForward();
    void tabBackward();
    void leaveByKeyboard(bool forward);
    void firstRecord();
    void lastRecord();
    void insertRow();
    void deleteRow();
    void escape();
    void enterKey();
    void clickCell(int row, int column, bool leftButton);
    void focusLeaving(Qt::FocusReason reason);
    void focusLeft();
    void goColumn(int column);
    void startTitleDrag(QPoint pos, int column);
    void finishTitleDrag();
    int columnEdgeAt(QPoint pos) const;

    // Cell editor (TDBGridInput.cpp).
    void openEditor();
    void closeEditor();
    void placeEditor();
    void loadEditorText();
    void writeEditorText();
    bool fieldEditable(const TField* field) const;
    bool untouchedNewRow() const;

    // What the cell editor asks of the grid (TDBGridInput.cpp).
    const TField* editedField() const override;
    bool handleEditorKey(QKeyEvent* event) override;
    bool beginEditing() override;
    void editorTextEdited() override;
    void editorFocusLeaving(Qt::FocusReason reason) override;
    void showError(const std::exception& error) override;

    /// Runs an operator action; a failure goes to the default error display.
    template <class F> void runAction(F action) {
        try {
            action();
        } catch (const std::exception& error) {
            showError(error);
        }
    }

    ControlDataLink link_{*this};
    DataSourceBinding binding_{link_};
    GridColumns columns_;
    GridEditor* editor_ = nullptr;

    int col_ = 0;
    int leftCol_ = 0;
    int top_ = 0;
    int rowPitch_ = 17;
    int editorRow_ = -1;
    bool editorOpen_ = false;
    bool modified_ = false; ///< the editor's text is not yet in the field
    bool writingEditor_ = false;

    enum class Drag { None, Resize, MoveArmed, Move };
    Drag drag_ = Drag::None;
    int dragColumn_ = -1;
    int dragTarget_ = -1;
    QPoint dragStart_;
    int dragWidth_ = 0;
    int wheelRemainder_ = 0;
};
