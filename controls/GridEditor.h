#pragma once
// The grid's in-place cell editor.
#include <QKeySequence>
#include <QLineEdit>

class CellEditorHost;

class QEvent;
class QMenu;

/// A Tab or Shift+Tab (not Alt+Tab) key press: in the grid it moves between
/// cells and never takes the focus to another control.
bool isCellTabKey(QEvent* event);

/// A frameless line edit over the current cell. Caret keys (Home and End
/// with or without Ctrl too) stay inside the cell; moves, Escape, Enter,
/// Insert and Ctrl+Delete go to the grid; a key or edit-menu command that
/// would change the text first asks the grid whether the field may change.
class GridEditor : public QLineEdit {
    Q_OBJECT
public:
    GridEditor(CellEditorHost& host, QWidget* parent);

    /// Types text as the operator would: refused characters beep and are
    /// dropped; the first change puts the data set into editing.
    void typeText(const QString& text);
    /// Every character can belong to a value of the current column's field
    /// (false when the column has no field).
    bool charactersAllowed(const QString& text) const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    /// The standard edit menu for the cell's text (never the window's menu).
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void handleKey(QKeyEvent* event);
    bool moveToLineEnd(const QKeyEvent* event);
    void addEditCommand(QMenu& menu, const char* text, QKeySequence::StandardKey key, bool enabled);
    bool wouldChangeText(const QKeyEvent* event) const;
    QString insertedText(const QKeyEvent* event) const;

    CellEditorHost& host_;
};
