// What assistive technology reads: the grid as a table, the label's text,
// the navigator's buttons with their Russian names and enabled state.
#include "controls/TDBGrid.h"
#include "controls/TDBNavigator.h"
#include "controls/TDBText.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/support/Catalogs.h"

#include <QAbstractButton>
#include <QAccessible>
#include <gtest/gtest.h>

using namespace controlstest;

TEST(Accessibility, AFilledGridReadsAsATableOfTitlesAndCells) {
    StudentData data(3);
    auto window = makeShownWindow();
    auto* grid = new TDBGrid(window.get());
    grid->setGeometry(0, 0, 460, 200);
    grid->setColumnList(QStringLiteral("Id_zach;Fname;Kurs"));
    grid->setDataSource(&data.source);
    grid->show();

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 0); // closed: no data rows
    EXPECT_EQ(table->columnDescription(1), "Fname");

    data.query.Open();
    data.query.Next();
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->columnCount(), 3);
    QStringList titles;
    for (int c = 0; c < 3; ++c)
        titles << table->columnDescription(c);
    EXPECT_EQ(titles, QStringList({"Id_zach", "Fname", "Kurs"}));

    const QStringList expected = {"101", QStringLiteral("Петров"),  "1",
                                  "102", QStringLiteral("Иванова"), "2",
                                  "103", QStringLiteral("Сидоров"), "3"};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            QAccessibleInterface* cell = table->cellAt(r, c);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->role(), QAccessible::Cell);
            EXPECT_EQ(cell->text(QAccessible::Name), expected[r * 3 + c]);
            QAccessibleTableCellInterface* info = cell->tableCellInterface();
            ASSERT_NE(info, nullptr);
            EXPECT_EQ(info->rowIndex(), r);
            ASSERT_EQ(info->columnHeaderCells().size(), 1);
            EXPECT_EQ(info->columnHeaderCells()[0]->text(QAccessible::Name), titles[c]);
            EXPECT_EQ(cell->parent(), iface);
            EXPECT_EQ(iface->child(iface->indexOfChild(cell)), cell);
        }
    }
    // The current cell is the selected one.
    ASSERT_EQ(table->selectedCellCount(), 1);
    EXPECT_EQ(table->selectedCells()[0], table->cellAt(1, 0));
    EXPECT_TRUE(table->cellAt(1, 0)->state().selected);
    EXPECT_EQ(iface->focusChild(), table->cellAt(1, 0));

    // Setting a cell's value edits it through the cell editor, as typing would.
    QAccessibleInterface* kurs = table->cellAt(2, 2);
    kurs->setText(QAccessible::Value, "5");
    EXPECT_EQ(data.query.RecNo(), 3);
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit);
    EXPECT_EQ(kurs->text(QAccessible::Value), "5");
    data.query.Post();
    EXPECT_EQ(
        testsupport::queryScalarSqlite(data.path, "select Kurs from student where Id_zach=103"),
        "5");
    // A value the field refuses does not reach it.
    kurs->setText(QAccessible::Value, "abc");
    EXPECT_EQ(kurs->text(QAccessible::Value), "5");
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
}

TEST(Accessibility, LabelAndNavigatorButtons) {
    StudentData data(1);
    TDBText label;
    label.setDataSource(&data.source);
    label.setDataField("Fname");
    TDBNavigator bar;
    bar.setDataSource(&data.source);
    data.query.Open();

    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->role(), QAccessible::StaticText);
    EXPECT_EQ(text->text(QAccessible::Name), QStringLiteral("Петров"));

    const QStringList names = {QStringLiteral("Первая"),    QStringLiteral("Предыдущая"),
                               QStringLiteral("Следующая"), QStringLiteral("Последняя"),
                               QStringLiteral("Вставить"),  QStringLiteral("Удалить"),
                               QStringLiteral("Изменить"),  QStringLiteral("Сохранить"),
                               QStringLiteral("Отменить"),  QStringLiteral("Обновить")};
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        QAbstractButton* button = bar.button(static_cast<TNavigateBtn>(i));
        QAccessibleInterface* b = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->role(), QAccessible::Button);
        EXPECT_EQ(b->text(QAccessible::Name), names[i]);
        EXPECT_TRUE(b->text(QAccessible::Description).isEmpty());
        EXPECT_EQ(b->state().disabled, !button->isEnabled()) << i;
    }
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(bar.button(nbPrior))->state().disabled);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(bar.button(nbEdit))->state().disabled);
}
