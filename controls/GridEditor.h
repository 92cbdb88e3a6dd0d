#pragma once
// The grid's in-place cell editor.
#include <QLineEdit>

class CellEditorHost;

class QEvent;

/// A Tab or Shift+Tab (not Alt+Tab) key press: in the grid it moves between
/// cells and never takes the focus to another control.
bool isCellTabKey(QEvent* event);

/// A frameless line edit over the current cell. Caret keys stay inside the
/// cell; moves, Escape, Enter, Insert and Ctrl+Delete go to the grid; a key
/// that would change the text first asks the grid whether the field may change.
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

private:
    void handleKey(QKeyEvent* event);
    bool wouldChangeText(const QKeyEvent* event) const;
    QString insertedText(const QKeyEvent* event) const;

    CellEditorHost& host_;
};
