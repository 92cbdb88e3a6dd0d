// The operator's keys, clicks and focus changes on the data grid, and its
// cell editor. Every action goes through the data set; an error it raises
// goes to the default error display and leaves the editor as it was.
#include "controls/GridEditor.h"
#include "controls/TDBGrid.h"
#include "data/dataset/TDataSet.h"
#include "data/dataset/TField.h"
#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

namespace {

bool isPrintable(const QString& text) {
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.isPrint() || c == QLatin1Char(' ');
    });
}

// Pixels either side of a column border where a press starts a resize.
constexpr int kResizeGrip = 2;

} // namespace

// ---- events --------------------------------------------------------------

bool TDBGrid::event(QEvent* event) {
    // Tab moves between cells and never leaves the grid; Alt+Tab is left alone.
    if (isCellTabKey(event)) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    runAction([&] { handleKey(event); });
}

void TDBGrid::handleKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        enterKey();
        return;
    }
    if (ctrl && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
        // Tab keeps to the cells; Ctrl+Tab is the keyboard's way out.
        leaveByKeyboard(key == Qt::Key_Tab && !(mods & Qt::ShiftModifier));
        return;
    }
    TDataSet* ds = activeDataSet();
    if (!ds) {
        // Closed: only a typed character still opens the (useless) editor,
        // and Escape closes it again.
        if (key == Qt::Key_Escape)
            closeEditor();
        else if (!ctrl && !alt && isPrintable(event->text()))
            typeCharacter(event->text());
        return;
    }
    const int current = std::max(0, ds->currentRow());
    const int bottom = std::min(top_ + visibleRowCount(), std::max(1, ds->rowCount())) - 1;
    switch (key) {
    case Qt::Key_Up:
        ctrl ? moveBy(top_ - current) : moveUp();
        return;
    case Qt::Key_Down:
        ctrl ? moveBy(bottom - current) : moveDown();
        return;
    case Qt::Key_PageUp:
        moveBy(ctrl ? top_ - current : -visibleRowCount());
        return;
    case Qt::Key_PageDown:
        moveBy(ctrl ? bottom - current : visibleRowCount());
        return;
    case Qt::Key_Home:
        ctrl || columnCount() == 1 ? firstRecord() : goColumn(0);
        return;
    case Qt::Key_End:
        ctrl || columnCount() == 1 ? lastRecord() : goColumn(columnCount() - 1);
        return;
    case Qt::Key_Left:
        goColumn(ctrl ? 0 : col_ - 1);
        return;
    case Qt::Key_Right:
        goColumn(ctrl ? columnCount() - 1 : col_ + 1);
        return;
    case Qt::Key_Tab:
        (mods & Qt::ShiftModifier) ? tabBackward() : tabForward();
        return;
    case Qt::Key_Backtab:
        tabBackward();
        return;
    case Qt::Key_Insert:
        if (!(mods & (Qt::ShiftModifier | Qt::ControlModifier)))
            insertRow();
        return;
    case Qt::Key_Delete:
        if (ctrl)
            deleteRow();
        return;
    case Qt::Key_Escape:
        escape();
        return;
    case Qt::Key_F2:
        openEditor();
        return;
    default:
        break;
    }
    if (!ctrl && !alt && isPrintable(event->text()))
        typeCharacter(event->text());
}

void TDBGrid::leaveByKeyboard(bool forward) {
    // From the cell editor too: the grid itself is the place to step from.
    setFocus(Qt::OtherFocusReason);
    focusNextPrevChild(forward);
}

bool TDBGrid::handleEditorKey(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        break;
    case Qt::Key_Insert:
        if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
            return false; // paste and copy stay in the editor
        break;
    case Qt::Key_Delete:
        if (!ctrl)
            return false; // a text key; Ctrl+Delete deletes the row
        break;
    default:
        return false;
    }
    handleKey(event);
    return true;
}

void TDBGrid::mousePressEvent(QMouseEvent* event) {
    if (!hasFocus() && !(editor_->hasFocus()))
        setFocus(Qt::MouseFocusReason);
    int row = 0;
    int column = 0;
    if (!cellAt(event->position().toPoint(), row, column))
        return;
    if (row < 0) {
        if (event->button() == Qt::LeftButton && column >= 0)
            startTitleDrag(event->position().toPoint(), column);
        return;
    }
    const bool left = event->button() == Qt::LeftButton;
    runAction([&] { clickCell(row, column < 0 ? col_ : column, left); });
}

void TDBGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    switch (drag_) {
    case Drag::Resize:
        dragWidth_ = std::max(1, pos.x() - columnLeft(dragColumn_));
        viewport()->update();
        return;
    case Drag::MoveArmed:
        if ((pos - dragStart_).manhattanLength() < QApplication::startDragDistance())
            return;
        drag_ = Drag::Move;
        [[fallthrough]];
    case Drag::Move: {
        int row = 0;
        int column = 0;
        QPoint probe(std::max(pos.x(), indicatorPitch()), 0);
        dragTarget_ = cellAt(probe, row, column) && column >= 0 ? column : columnCount() - 1;
        viewport()->update();
        return;
    }
    case Drag::None:
        break;
    }
    const bool onEdge = columnEdgeAt(pos) >= 0;
    if (onEdge)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* event) {
    (void)event;
    runAction([&] { finishTitleDrag(); });
}

void TDBGrid::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches != 0)
        runAction([&] { moveBy(-notches); });
    event->accept();
}

void TDBGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TDBGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
    focusLeaving(event->reason());
}

void TDBGrid::editorFocusLeaving(Qt::FocusReason reason) {
    focusLeaving(reason);
}

void TDBGrid::focusLeaving(Qt::FocusReason reason) {
    // Another window taking the activation (a message box, say) is not the
    // operator leaving the grid.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    QWidget* now = QApplication::focusWidget();
    if (now == this || isAncestorOf(now))
        return;
    focusLeft();
}

void TDBGrid::focusLeft() {
    TDataSet* ds = activeDataSet();
    try {
        if (ds && untouchedNewRow()) {
            closeEditor();
            ds->Cancel();
            return;
        }
        writeEditorText();
        closeEditor();
    } catch (const std::exception& error) {
        // The operator must be able to correct the text: take the focus back first.
        if (editorOpen_)
            editor_->setFocus(Qt::OtherFocusReason);
        else
            setFocus(Qt::OtherFocusReason);
        showError(error);
    }
}

// ---- moves ---------------------------------------------------------------

void TDBGrid::moveBy(int distance) {
    TDataSet* ds = activeDataSet();
    if (!ds)
        return;
    writeEditorText();
    if (distance != 0)
        ds->MoveBy(distance);
    closeEditor();
}

void TDBGrid::moveUp() {
    TDataSet* ds = activeDataSet();
    if (!ds)
        return;
    if (untouchedNewRow() && ds->currentRow() == ds->rowCount() - 1) {
        closeEditor();
        ds->Cancel();
        return;
    }
    moveBy(-1);
}

void TDBGrid::moveDown() {
    TDataSet* ds = activeDataSet();
    if (!ds)
        return;
    if (untouchedNewRow()) {
        if (ds->currentRow() == ds->rowCount() - 1)
            return;
        closeEditor();
        ds->Cancel();
        return;
    }
    writeEditorText();
    const int moved = ds->MoveBy(1);
    closeEditor();
    // Moving down from the last record starts a new one at the end.
    if (moved == 0 && ds->Eof() && ds->CanModify())
        ds->Append();
}

void TDBGrid::tabForward() {
    if (col_ < columnCount() - 1) {
        goColumn(col_ + 1);
        return;
    }
    if (!activeDataSet())
        return;
    moveDown();
    setCurrentColumn(0);
}

void TDBGrid::tabBackward() {
    if (col_ > 0) {
        goColumn(col_ - 1);
        return;
    }
    if (!activeDataSet())
        return;
    moveUp();
    setCurrentColumn(columnCount() - 1);
}

void TDBGrid::goColumn(int column) {
    column = std::clamp(column, 0, std::max(0, columnCount() - 1));
    if (column == col_)
        return;
    writeEditorText();
    closeEditor();
    setCurrentColumn(column);
}

void TDBGrid::firstRecord() {
    if (TDataSet* ds = activeDataSet()) {
        writeEditorText();
        ds->First();
        closeEditor();
    }
}

void TDBGrid::lastRecord() {
    if (TDataSet* ds = activeDataSet()) {
        writeEditorText();
        ds->Last();
        closeEditor();
    }
}

void TDBGrid::clickCell(int row, int column, bool leftButton) {
    TDataSet* ds = activeDataSet();
    if (!ds || row >= std::max(1, ds->rowCount()))
        return;
    const int current = std::max(0, ds->currentRow());
    if (row == current && column == col_) {
        if (leftButton && !editorOpen_)
            openEditor();
        return;
    }
    writeEditorText();
    if (row != current)
        ds->MoveBy(row - current);
    closeEditor();
    setCurrentColumn(column);
}

void TDBGrid::selectCell(int row, int column) {
    runAction([&] { clickCell(row, column, false); });
}

// ---- rows ----------------------------------------------------------------

void TDBGrid::insertRow() {
    TDataSet* ds = activeDataSet();
    if (!ds || !ds->CanModify())
        return;
    writeEditorText();
    ds->Insert();
    closeEditor();
}

void TDBGrid::deleteRow() {
    TDataSet* ds = activeDataSet();
    if (!ds || ds->IsEmpty() || !ds->CanModify())
        return;
    if (!confirmDeleteRecord())
        return;
    modified_ = false;
    ds->Delete();
    closeEditor();
}

void TDBGrid::escape() {
    if (editorOpen_ && modified_) {
        // First Escape: the cell shows the field's value again.
        modified_ = false;
        loadEditorText();
        closeEditor();
        return;
    }
    TDataSet* ds = activeDataSet();
    if (ds && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert))
        ds->Cancel();
    closeEditor();
}

void TDBGrid::enterKey() {
    if (editorOpen_) {
        writeEditorText();
        closeEditor();
    } else {
        openEditor();
    }
}

void TDBGrid::typeCharacter(const QString& text) {
    openEditor();
    editor_->selectAll();
    editor_->typeText(text);
}

// ---- cell editor ---------------------------------------------------------

void TDBGrid::setEditorMode(bool open) {
    runAction([&] {
        if (!open) {
            writeEditorText();
            closeEditor();
        } else if (activeDataSet()) {
            openEditor();
        }
    });
}

QString TDBGrid::editorText() const {
    return editorOpen_ ? editor_->text() : QString();
}

void TDBGrid::openEditor() {
    if (editorOpen_ || columnCount() == 0)
        return;
    ensureColumnVisible();
    editorOpen_ = true;
    editorRow_ = std::max(0, currentRow()); // the blank row of an empty grid is row 0
    modified_ = false;
    loadEditorText();
    placeEditor();
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
    editor_->selectAll();
}

void TDBGrid::closeEditor() {
    if (!editorOpen_)
        return;
    editorOpen_ = false;
    modified_ = false;
    if (editor_->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor_->hide();
    viewport()->update();
}

void TDBGrid::placeEditor() {
    const QRect rect = cellRect(std::max(0, editorRow_), col_);
    editor_->setGeometry(rect.isEmpty() ? QRect(-100, -100, 1, 1) : rect);
}

void TDBGrid::loadEditorText() {
    const TField* field = activeDataSet() ? columnField(col_) : nullptr;
    const QString text = field ? QString::fromStdString(field->DisplayText()) : QString();
    // Notices repeat the same text often (starting an edit, say); keep the
    // selection and caret the operator has then.
    if (editor_->text() != text)
        editor_->setText(text);
    const bool right = field && field->Alignment() == TAlignment::taRightJustify;
    editor_->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void TDBGrid::writeEditorText() {
    if (!modified_ || writingEditor_)
        return;
    TField* field = activeDataSet() ? columnField(col_) : nullptr;
    if (!field) {
        modified_ = false;
        return;
    }
    writingEditor_ = true;
    try {
        if (!link_.Editing())
            link_.Edit();
        field->setAsString(editor_->text().toStdString());
    } catch (...) {
        writingEditor_ = false;
        throw;
    }
    writingEditor_ = false;
    modified_ = false;
}

bool TDBGrid::fieldEditable(const TField* field) const {
    return field && field->DataType() != TFieldType::ftBlob && field->CanModify();
}

const TField* TDBGrid::editedField() const {
    return activeDataSet() ? columnField(col_) : nullptr;
}

bool TDBGrid::beginEditing() {
    if (!activeDataSet() || !fieldEditable(columnField(col_)))
        return false;
    return link_.Edit();
}

bool TDBGrid::untouchedNewRow() const {
    const TDataSet* ds = activeDataSet();
    return ds && ds->State() == TDataSetState::dsInsert && !ds->Modified() && !modified_;
}

void TDBGrid::editorTextEdited() {
    modified_ = true;
    editorRow_ = std::max(0, currentRow());
}

bool TDBGrid::editCurrentCell(const QString& text) {
    bool written = false;
    runAction([&] {
        if (!activeDataSet())
            return;
        openEditor();
        if (!editor_->charactersAllowed(text) || !beginEditing())
            return;
        editor_->setText(text);
        modified_ = true;
        writeEditorText();
        closeEditor();
        written = true;
    });
    return written;
}

// ---- column resize and move ----------------------------------------------

int TDBGrid::columnEdgeAt(QPoint pos) const {
    if (pos.y() < 0 || pos.y() >= rowPitch_)
        return -1;
    for (int c = leftCol_; c < columnCount(); ++c) {
        const int edge = columnLeft(c) + columns_.at(c).width;
        if (std::abs(pos.x() - edge) <= kResizeGrip)
            return c;
        if (edge > viewport()->width())
            break;
    }
    return -1;
}

void TDBGrid::startTitleDrag(QPoint pos, int column) {
    const int edge = columnEdgeAt(pos);
    if (edge >= 0) {
        drag_ = Drag::Resize;
        dragColumn_ = edge;
        dragWidth_ = columns_.at(edge).width;
    } else {
        drag_ = Drag::MoveArmed;
        dragColumn_ = column;
        dragTarget_ = column;
    }
    dragStart_ = pos;
}

void TDBGrid::finishTitleDrag() {
    const Drag drag = drag_;
    drag_ = Drag::None;
    viewport()->update();
    if (drag == Drag::Resize) {
        if (columns_.resizeColumn(dragColumn_, dragWidth_, QFontMetrics(font())))
            layoutColumns();
    } else if (drag == Drag::Move && dragTarget_ >= 0 && dragTarget_ != dragColumn_) {
        // The current column travels with the column it was on.
        int newCol = col_;
        if (col_ == dragColumn_)
            newCol = dragTarget_;
        else if (dragColumn_ < col_ && dragTarget_ >= col_)
            --newCol;
        else if (dragColumn_ > col_ && dragTarget_ <= col_)
            ++newCol;
        writeEditorText();
        closeEditor();
        if (columns_.moveColumn(dragColumn_, dragTarget_))
            layoutColumns();
        setCurrentColumn(newCol);
    }
}
