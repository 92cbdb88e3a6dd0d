#include "controls/GridEditor.h"

#include "controls/CellEditorHost.h"
#include "data/dataset/TField.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyleHints>

GridEditor::GridEditor(CellEditorHost& host, QWidget* parent) : QLineEdit(parent), host_(host) {
    setFrame(false);
    setTextMargins(1, 0, 1, 0);
    connect(this, &QLineEdit::textEdited, this, [this] { host_.editorTextEdited(); });
}

bool GridEditor::charactersAllowed(const QString& text) const {
    const TField* field = host_.editedField();
    if (!field)
        return false;
    for (char32_t ch : text.toUcs4()) {
        if (!field->IsValidChar(ch))
            return false;
    }
    return true;
}

void GridEditor::typeText(const QString& text) {
    if (!charactersAllowed(text)) {
        QApplication::beep();
        return;
    }
    if (!host_.beginEditing())
        return;
    insert(text);
    host_.editorTextEdited();
}

bool isCellTabKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
           !(key->modifiers() & Qt::AltModifier);
}

bool GridEditor::event(QEvent* event) {
    if (isCellTabKey(event)) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLineEdit::event(event);
}

void GridEditor::keyPressEvent(QKeyEvent* event) {
    try {
        handleKey(event);
    } catch (const std::exception& error) {
        host_.showError(error);
    }
}

void GridEditor::handleKey(QKeyEvent* event) {
    if (moveToLineEnd(event))
        return;
    if (host_.handleEditorKey(event))
        return;
    if (!wouldChangeText(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString inserted = insertedText(event);
    if (!inserted.isEmpty() && !charactersAllowed(inserted)) {
        QApplication::beep();
        return;
    }
    // The first change puts the data set into editing; a field that cannot
    // change drops the key.
    if (!host_.beginEditing())
        return;
    QLineEdit::keyPressEvent(event);
}

// A cell holds one line, so Ctrl+Home and Ctrl+End go to its ends as Home
// and End do; the grid's jumps to the first or last record wait until the
// editor is closed.
bool GridEditor::moveToLineEnd(const QKeyEvent* event) {
    const int key = event->key();
    if ((key != Qt::Key_Home && key != Qt::Key_End) || !(event->modifiers() & Qt::ControlModifier))
        return false;
    const bool mark = event->modifiers() & Qt::ShiftModifier;
    key == Qt::Key_Home ? home(mark) : end(mark);
    return true;
}

QString GridEditor::insertedText(const QKeyEvent* event) const {
    if (event->matches(QKeySequence::Paste))
        return QApplication::clipboard()->text();
    const QString text = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!command && !text.isEmpty() && text.at(0).isPrint())
        return text;
    return {};
}

bool GridEditor::wouldChangeText(const QKeyEvent* event) const {
    if (!insertedText(event).isEmpty())
        return true;
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Delete) ||
        event->matches(QKeySequence::Backspace) || event->key() == Qt::Key_Backspace ||
        event->key() == Qt::Key_Delete) {
        if (hasSelectedText())
            return true;
        if (event->key() == Qt::Key_Backspace)
            return cursorPosition() > 0;
        if (event->key() == Qt::Key_Delete)
            return cursorPosition() < text().size();
        return false;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return isUndoAvailable() || isRedoAvailable();
    return false;
}

void GridEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    host_.editorFocusLeaving(event->reason());
}

// The standard edit menu of a line edit, in the framework's own words so that
// its translations apply. Each command takes the way of its key, so that a
// paste or cut from the menu asks the field first, as typing does.
void GridEditor::contextMenuEvent(QContextMenuEvent* event) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool selected = hasSelectedText();
    addEditCommand(*menu, "&Undo", QKeySequence::Undo, isUndoAvailable());
    addEditCommand(*menu, "&Redo", QKeySequence::Redo, isRedoAvailable());
    menu->addSeparator();
    addEditCommand(*menu, "Cu&t", QKeySequence::Cut, selected);
    addEditCommand(*menu, "&Copy", QKeySequence::Copy, selected);
    addEditCommand(*menu, "&Paste", QKeySequence::Paste,
                   !QApplication::clipboard()->text().isEmpty());
    addEditCommand(*menu, "Delete", QKeySequence::Delete, selected);
    menu->addSeparator();
    addEditCommand(*menu, "Select All", QKeySequence::SelectAll,
                   !text().isEmpty() && selectedText() != text());
    menu->popup(event->globalPos());
    event->accept();
}

void GridEditor::addEditCommand(QMenu& menu, const char* text, QKeySequence::StandardKey key,
                                bool enabled) {
    QString label = QCoreApplication::translate("QLineEdit", text);
    const bool showKeys = QGuiApplication::styleHints()->showShortcutsInContextMenus() &&
                          !QCoreApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus);
    if (showKeys && key != QKeySequence::Delete)
        label += u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
    QAction* action = menu.addAction(label);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [this, key] {
        const QKeyCombination combination = QKeySequence::keyBindings(key).value(0)[0];
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        keyPressEvent(&press);
    });
}
