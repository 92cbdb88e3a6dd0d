#pragma once
// What the cell editor needs of the grid it edits in.
#include <Qt>

#include <exception>

class QKeyEvent;
class TField;

/// The grid as its cell editor sees it: the field under the editor, the
/// keys the grid takes first, and the steps around a change of the text.
class CellEditorHost {
public:
    /// The field of the cell being edited; nullptr when the data set is
    /// closed or the column has no field.
    virtual const TField* editedField() const = 0;
    /// Offers a key to the grid before the editor; true when the grid took it.
    virtual bool handleEditorKey(QKeyEvent* event) = 0;
    /// Called before the first change of the text: puts the data set into
    /// editing. False when the field cannot change; the change is dropped.
    virtual bool beginEditing() = 0;
    /// The operator changed the editor's text.
    virtual void editorTextEdited() = 0;
    /// The editor lost the focus.
    virtual void editorFocusLeaving(Qt::FocusReason reason) = 0;
    /// Shows an error raised by an operator action in the editor.
    virtual void showError(const std::exception& error) = 0;

protected:
    ~CellEditorHost() = default;
};
