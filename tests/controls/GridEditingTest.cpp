// Editing in place: typed keys, Escape, Enter, Insert, Ctrl+Delete, focus
// leaving the grid, and errors handed to the default error display.
#include "controls/GridEditor.h"
#include "controls/TDBGrid.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/support/Catalogs.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace controlstest;

namespace {

struct EditingFixture : testing::Test {
    StudentData data{3};
    std::unique_ptr<QWidget> window = makeShownWindow();
    TDBGrid* grid = new TDBGrid(window.get());
    QLineEdit* other = new QLineEdit(window.get());

    void SetUp() override {
        grid->setGeometry(0, 0, 460, 200);
        other->setGeometry(0, 210, 100, 20);
        grid->setColumnList(QStringLiteral("Id_zach;Fname;Lname;Fakultet:96;Kurs"));
        grid->setDataSource(&data.source);
        grid->show();
        other->show();
        data.query.Open();
        grid->setFocus();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { press(grid, k, m); }
    std::string dbName(int id) {
        return testsupport::queryScalarSqlite(
            data.path, "select Fname from student where Id_zach=" + std::to_string(id));
    }
};

/// Counts the right-clicks that reach a window, where its own menu would open.
struct WindowMenuProbe : QObject {
    int reached = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        reached += event->type() == QEvent::ContextMenu;
        return false;
    }
};

/// Right-clicks a widget; returns the menu that opened, if any.
QMenu* rightClick(QWidget* target) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            target->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(target, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

/// Chooses a command of the cell editor's menu by its standard line-edit text.
void choose(QWidget* editor, const char* command) {
    const QPointer<QMenu> menu = rightClick(editor);
    ASSERT_NE(menu, nullptr);
    const QString text = QCoreApplication::translate("QLineEdit", command);
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions())
        if (action->text().section(QLatin1Char('\t'), 0, 0) == text)
            chosen = action;
    ASSERT_NE(chosen, nullptr) << command;
    menu->close();
    chosen->trigger();
}

} // namespace

TEST_F(EditingFixture, EscapeOnceRestoresTheCellAndTwiceCancelsTheRow) {
    grid->setCurrentColumn(1);
    typeText(grid, QStringLiteral("Ким"));
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(grid->editorText(), QStringLiteral("Ким"));
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit); // the first key started editing

    key(Qt::Key_Escape);
    EXPECT_FALSE(grid->editorMode());
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit);
    EXPECT_EQ(grid->cellText(0, 1), QStringLiteral("Петров"));

    // Text written into the field (by leaving the cell) is undone by Escape on the row.
    typeText(grid, QStringLiteral("Ли"));
    key(Qt::Key_Return);
    EXPECT_EQ(grid->cellText(0, 1), QStringLiteral("Ли"));
    key(Qt::Key_Escape);
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(grid->cellText(0, 1), QStringLiteral("Петров"));
    EXPECT_EQ(dbName(101), "Петров");
}

TEST_F(EditingFixture, TypedTextIsSavedWhenTheRowIsLeft) {
    grid->setCurrentColumn(1);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->editorMode());
    key(Qt::Key_End);
    typeText(grid, QStringLiteral("а"));
    key(Qt::Key_Left); // the caret moves inside the cell, the cell stays
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(grid->currentColumn(), 1);
    key(Qt::Key_Down);
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(dbName(101), "Петрова");
    EXPECT_EQ(grid->currentRow(), 1);
}

TEST_F(EditingFixture, RefusedCharactersBeepAndNeverStartEditing) {
    grid->setCurrentColumn(4); // Kurs, a whole number
    typeText(grid, QStringLiteral("x"));
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
    EXPECT_NE(grid->editorText(), QStringLiteral("x"));
    typeText(grid, QStringLiteral("4"));
    EXPECT_EQ(grid->editorText(), QStringLiteral("4"));
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit);
}

TEST_F(EditingFixture, PostRefusedByTheDatabaseIsShownAndTheEditorStays) {
    BoxAnswers boxes;
    grid->setCurrentColumn(4);
    typeText(grid, QStringLiteral("9")); // Kurs must lie between 1 and 6
    key(Qt::Key_Down);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("CHECK"), Qt::CaseInsensitive))
        << boxes.boxes()[0].text.toStdString();
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(grid->editorText(), QStringLiteral("9"));
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit);
    EXPECT_EQ(grid->currentRow(), 0);

    // Corrected, the row saves on the next move.
    key(Qt::Key_Backspace);
    typeText(grid, QStringLiteral("5"));
    key(Qt::Key_Down);
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(
        testsupport::queryScalarSqlite(data.path, "select Kurs from student where Id_zach=101"),
        "5");
}

TEST_F(EditingFixture, CtrlDeleteAsksFirstAndDeletesOnOk) {
    BoxAnswers boxes(QMessageBox::Cancel);
    key(Qt::Key_Down);
    key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const MessageBoxRequest& box = boxes.boxes()[0];
    EXPECT_EQ(box.text, "Delete record?");
    EXPECT_EQ(box.caption, "Confirm");
    EXPECT_EQ(box.icon, QMessageBox::Question);
    EXPECT_EQ(box.defaultButton, QMessageBox::Ok);
    EXPECT_EQ(box.escapeButton, QMessageBox::Cancel);
    EXPECT_EQ(data.databaseRows(), 3);
    EXPECT_EQ(grid->rowCount(), 3);

    boxes.answerWith(QMessageBox::Ok);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(data.databaseRows(), 2);
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->cellText(grid->currentRow(), 0), "103");
}

TEST_F(EditingFixture, InsertStartsARowBeforeTheCurrentOneAndLeavingTheGridDropsItUntouched) {
    key(Qt::Key_Down);
    key(Qt::Key_Insert);
    EXPECT_EQ(data.query.State(), TDataSetState::dsInsert);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->cellText(2, 0), "102");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(grid->rowCount(), 3);
}

TEST_F(EditingFixture, LeavingTheGridWritesTypedTextAndKeepsTheRowPending) {
    key(Qt::Key_Insert);
    typeText(grid, QStringLiteral("777"));
    other->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(grid->editorMode());
    EXPECT_EQ(data.query.State(), TDataSetState::dsInsert);
    EXPECT_EQ(grid->cellText(grid->currentRow(), 0), "777");
    EXPECT_EQ(data.databaseRows(), 3);
}

TEST_F(EditingFixture, LeavingTheGridWithTextTheFieldRefusesTakesTheFocusBack) {
    BoxAnswers boxes;
    grid->setCurrentColumn(4);
    typeText(grid, QStringLiteral("-")); // a sign alone is no whole number
    ASSERT_EQ(grid->editorText(), QStringLiteral("-"));
    other->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("'-' is not a valid integer value."));
    EXPECT_TRUE(grid->editor()->hasFocus());
    EXPECT_TRUE(grid->editorMode());
}

TEST_F(EditingFixture, EnterWritesTheTextAndTogglesTheEditor) {
    grid->setCurrentColumn(2);
    key(Qt::Key_Return);
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
    key(Qt::Key_Backspace);
    typeText(grid, QStringLiteral("Я"));
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->editorMode());
    EXPECT_EQ(grid->cellText(0, 2), QStringLiteral("Я"));
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit);
}

TEST_F(EditingFixture, TypingIntoAnEmptyGridStartsANewRow) {
    data.query.Close();
    data.setWhere("where 1=0");
    data.query.Open();
    grid->setFocus();
    typeText(grid, QStringLiteral("42"));
    EXPECT_EQ(data.query.State(), TDataSetState::dsInsert);
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(grid->editorText(), "42");
    key(Qt::Key_Tab);
    typeText(grid, QStringLiteral("Юн"));
    key(Qt::Key_Up); // the typed row is saved, not dropped
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(dbName(42), "Юн");
}

TEST_F(EditingFixture, CtrlHomeAndCtrlEndMoveTheCaretAndNeverLeaveTheCell) {
    key(Qt::Key_Down); // the second record: either end of the data set would be a move
    grid->setCurrentColumn(1);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->editorMode());
    QLineEdit* editor = grid->editor();
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(editor->cursorPosition(), 0);
    key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("Иванова"));
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(editor->cursorPosition(), editor->text().size());
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->currentColumn(), 1);

    key(Qt::Key_Escape); // with the editor closed they go to the last and first record
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->currentRow(), 2);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid->currentRow(), 0);
}

// The open cell editor has the standard edit menu, never the window's; the
// rest of the grid still passes a right-click up to the window. A paste from
// the menu is checked like a typed one.
TEST_F(EditingFixture, RightClickInTheOpenEditorShowsTheEditMenuWhosePasteAsksTheField) {
    WindowMenuProbe probe;
    window->installEventFilter(&probe);
    EXPECT_EQ(rightClick(grid->viewport()), nullptr);
    EXPECT_EQ(probe.reached, 1);

    grid->setCurrentColumn(4); // Kurs, a whole number
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->editorMode());
    QApplication::clipboard()->setText(QStringLiteral("x"));
    choose(grid->editor(), "&Paste");
    EXPECT_EQ(probe.reached, 1);
    EXPECT_EQ(grid->editorText(), "1");
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);

    QApplication::clipboard()->setText(QStringLiteral("5"));
    choose(grid->editor(), "&Paste");
    EXPECT_EQ(grid->editorText(), "5");
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit);
    choose(grid->editor(), "&Undo");
    EXPECT_EQ(grid->editorText(), "1");
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(probe.reached, 1);
    window->removeEventFilter(&probe);
}
