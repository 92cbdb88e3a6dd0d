// The data grid driven headless with real key and mouse events: its looks,
// the moves of the operator and the column layout shared through fields.
#include "controls/GridEditor.h"
#include "controls/TDBGrid.h"
#include "controls/TDBText.h"
#include "data/dataset/TField.h"
#include "tests/controls/ControlsFixture.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace controlstest;

namespace {

const QString kStudentColumns = QStringLiteral("Id_zach;Fname;Lname;Fakultet:96;Kurs");

/// Whether the indicator cell of a data row shows an image (any dark pixel).
bool indicatorShown(TDBGrid& grid, int viewRow) {
    const QImage image = grid.viewport()->grab().toImage();
    const int top = (viewRow + 1) * grid.rowPitch();
    for (int y = top + 1; y < top + grid.rowPitch() - 2; ++y) {
        for (int x = 1; x < 10; ++x) {
            if (qGray(image.pixel(x, y)) < 80)
                return true;
        }
    }
    return false;
}

struct GridFixture : testing::Test {
    StudentData data{3};
    std::unique_ptr<QWidget> window = makeShownWindow();
    TDBGrid* grid = new TDBGrid(window.get());

    void SetUp() override {
        grid->setGeometry(0, 0, 460, 200);
        grid->setDataSource(&data.source);
        grid->show();
        grid->setFocus();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { press(grid, k, m); }
    QPoint cellCentre(int row, int column) const { return grid->cellRect(row, column).center(); }
};

} // namespace

TEST_F(GridFixture, ClosedGridShowsListedTitlesAndOneBlankRowAndIgnoresMoves) {
    BoxAnswers boxes;
    grid->setColumnList(kStudentColumns);
    ASSERT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->columnTitle(0), "Id_zach");
    EXPECT_EQ(grid->columnTitle(3), "Fakultet");
    EXPECT_EQ(grid->columnWidth(3), 96);
    EXPECT_EQ(grid->columnWidth(0), 64); // no field to measure yet
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_FALSE(indicatorShown(*grid, 0));

    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Insert, Qt::Key_F2, Qt::Key_PageDown})
        key(k);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(grid->editorMode());
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_FALSE(data.query.Active());

    // A typed character still opens an empty editor, whose every character is refused.
    typeText(grid, QStringLiteral("5ж"));
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(grid->editorText(), QString());
    EXPECT_FALSE(data.query.Active());
    key(Qt::Key_Escape);
    EXPECT_FALSE(grid->editorMode());
    key(Qt::Key_Return); // Enter opens it too
    EXPECT_TRUE(grid->editorMode());
}

TEST_F(GridFixture, ClosedGridWithoutColumnListShowsOneUntitledColumn) {
    ASSERT_EQ(grid->columnCount(), 1);
    EXPECT_EQ(grid->columnTitle(0), QString());
    EXPECT_EQ(grid->columnWidth(0), 64);
}

TEST_F(GridFixture, OpenEmptyGridShowsMarkerOnBlankRowAndCtrlDeleteDoesNothing) {
    BoxAnswers boxes;
    data.setWhere("where 1=0");
    data.query.Open();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(grid->columnCount(), 5); // default list: every field
    EXPECT_TRUE(indicatorShown(*grid, 0));
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(boxes.boxes().empty());
    data.query.Close();
    EXPECT_FALSE(indicatorShown(*grid, 0));
    EXPECT_EQ(grid->columnCount(), 1);
}

TEST_F(GridFixture, OpenGridJoinsListedColumnsToFieldsWithoutRegardToCase) {
    grid->setColumnList(QStringLiteral("id_zach;Nosuch;fname"));
    data.query.Open();
    ASSERT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->columnTitle(0), "Id_zach"); // the name the database reports
    EXPECT_EQ(grid->columnTitle(1), "Nosuch");  // stays empty, no error
    EXPECT_EQ(grid->columnField(1), nullptr);
    EXPECT_EQ(grid->cellText(0, 0), "101");
    EXPECT_EQ(grid->cellText(1, 2), QStringLiteral("Иванова"));
    EXPECT_EQ(grid->cellText(0, 1), QString());
    EXPECT_GE(grid->columnWidth(0), QFontMetrics(grid->font()).horizontalAdvance("Id_zach") + 4);
    EXPECT_TRUE(indicatorShown(*grid, 0));
    EXPECT_FALSE(indicatorShown(*grid, 1));
}

TEST_F(GridFixture, DownOnLastRecordAppendsAndUpDropsTheUntouchedRow) {
    data.query.Open();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(data.query.RecNo(), 3);
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);

    key(Qt::Key_Down);
    EXPECT_EQ(data.query.State(), TDataSetState::dsInsert);
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->currentRow(), 3);
    key(Qt::Key_Down); // an untouched new row at the end: nothing happens
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(data.query.State(), TDataSetState::dsInsert);

    key(Qt::Key_Up);
    EXPECT_EQ(data.query.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(data.databaseRows(), 3);
}

TEST_F(GridFixture, TabWalksTheCellsAndWrapsWithoutLeavingTheGrid) {
    auto* other = new QLineEdit(window.get());
    other->setGeometry(0, 210, 100, 20);
    other->show();
    grid->setColumnList(QStringLiteral("Id_zach;Fname"));
    data.query.Open();
    grid->setFocus();
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->currentColumn(), 1);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->currentColumn(), 0);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_TRUE(grid->hasFocus());
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_TRUE(grid->hasFocus());
}

TEST_F(GridFixture, KeysMoveByPagesColumnsAndToTheEnds) {
    StudentData many(40);
    grid->setDataSource(&many.source);
    many.query.Open();
    const int page = grid->visibleRowCount();
    ASSERT_GT(page, 2);
    ASSERT_LT(page, 40);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int row;
        int column;
    } steps[] = {
        {Qt::Key_PageDown, Qt::NoModifier, page, 0},
        {Qt::Key_Up, Qt::ControlModifier, grid->visibleRowCount() > 0 ? 1 : 0, 0},
        {Qt::Key_End, Qt::ControlModifier, 39, 0},
        {Qt::Key_End, Qt::NoModifier, 39, 4},
        {Qt::Key_Left, Qt::NoModifier, 39, 3},
        {Qt::Key_Left, Qt::ControlModifier, 39, 0},
        {Qt::Key_Right, Qt::ControlModifier, 39, 4},
        {Qt::Key_Home, Qt::NoModifier, 39, 0},
        {Qt::Key_PageUp, Qt::NoModifier, 39 - page, 0},
        {Qt::Key_Home, Qt::ControlModifier, 0, 0},
        {Qt::Key_Down, Qt::ControlModifier, page - 1, 0},
    };
    // After PageDown the view scrolled so that the current row is the bottom one.
    steps[1].row = page - page + 1;
    for (const Step& s : steps) {
        key(s.key, s.mods);
        EXPECT_EQ(grid->currentRow(), s.row) << QTest::toString(s.key);
        EXPECT_EQ(grid->currentColumn(), s.column) << QTest::toString(s.key);
        EXPECT_LE(grid->topRow(), grid->currentRow());
        EXPECT_LT(grid->currentRow(), grid->topRow() + page);
    }
    grid->setDataSource(nullptr);
}

TEST_F(GridFixture, ScrollBarFollowsRecordNumbers) {
    StudentData many(40);
    grid->setDataSource(&many.source);
    many.query.Open();
    QScrollBar* bar = grid->verticalScrollBar();
    const int page = grid->visibleRowCount();
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 40 + page - 1);
    EXPECT_EQ(bar->pageStep(), page);
    EXPECT_EQ(bar->value(), 1);
    many.query.MoveBy(9);
    EXPECT_EQ(bar->value(), 10);

    const int top = grid->topRow();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); // just below the bottom row
    EXPECT_EQ(many.query.RecNo(), top + page + 1);
    const int topAfter = grid->topRow();
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub); // just above the top row
    EXPECT_EQ(many.query.RecNo(), topAfter);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(many.query.RecNo(), 40);
    EXPECT_EQ(bar->value(), 40);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(many.query.RecNo(), 40 - page);
    bar->setSliderDown(true);
    bar->setSliderPosition(7);
    bar->setSliderDown(false); // thumb released at 7
    EXPECT_EQ(many.query.RecNo(), 7);
    grid->setDataSource(nullptr);
}

TEST_F(GridFixture, ClickMovesRecordAndColumnAndASecondClickOpensTheEditor) {
    grid->setColumnList(kStudentColumns);
    data.query.Open();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(2, 1));
    EXPECT_EQ(data.query.RecNo(), 3);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_FALSE(grid->editorMode());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(2, 1));
    EXPECT_TRUE(grid->editorMode());
    EXPECT_EQ(grid->editorText(), QStringLiteral("Сидоров"));
    // A click in the title row does not move the record.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(-1, 0));
    EXPECT_EQ(data.query.RecNo(), 3);
}

TEST_F(GridFixture, TwoGridsAndALabelOnOneDataSourceShareTheCurrentRow) {
    auto* second = new TDBGrid(window.get());
    second->setGeometry(0, 205, 460, 50);
    second->setDataSource(&data.source);
    auto* label = new TDBText(window.get());
    label->setDataSource(&data.source);
    label->setDataField(QStringLiteral("fname"));
    second->show();
    EXPECT_EQ(label->Caption(), QString());
    data.query.Open();
    EXPECT_EQ(label->Caption(), QStringLiteral("Петров"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(1, 0));
    EXPECT_EQ(second->currentRow(), 1);
    EXPECT_EQ(label->Caption(), QStringLiteral("Иванова"));
    second->setFocus();
    press(second, Qt::Key_Down);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(label->Caption(), QStringLiteral("Сидоров"));
}

TEST_F(GridFixture, ColumnMovedInOneDefaultGridShowsMovedInAnotherOnTheSameDataSet) {
    auto* second = new TDBGrid(window.get());
    second->setGeometry(0, 205, 460, 50);
    second->setDataSource(&data.source);
    second->show();
    auto* fixed = new TDBGrid(window.get());
    fixed->setColumnList(QStringLiteral("Id_zach;Fname;Lname"));
    fixed->setDataSource(&data.source);
    data.query.Open();
    ASSERT_EQ(grid->columnTitle(0), "Id_zach");

    // Drag the first title onto the third column.
    QWidget* vp = grid->viewport();
    const QPoint from = cellCentre(-1, 0);
    const QPoint to = cellCentre(-1, 2);
    QTest::mousePress(vp, Qt::LeftButton, {}, from);
    QTest::mouseMove(vp, from + QPoint(10, 0));
    QTest::mouseMove(vp, to);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, to);

    const QStringList moved = {"Fname", "Lname", "Id_zach", "Fakultet", "Kurs"};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(grid->columnTitle(c), moved[c]);
        EXPECT_EQ(second->columnTitle(c), moved[c]);
    }
    EXPECT_EQ(second->cellText(0, 2), "101");
    EXPECT_EQ(fixed->columnTitle(0), "Id_zach"); // a fixed list keeps its own order

    // Widening a column by its border widens the field for both default grids.
    const QRect title = grid->cellRect(-1, 0);
    const QPoint edge(title.right() + 1, title.center().y());
    QTest::mousePress(vp, Qt::LeftButton, {}, edge);
    QTest::mouseMove(vp, edge + QPoint(60, 0));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, edge + QPoint(60, 0));
    EXPECT_GT(grid->columnWidth(0), title.width() + 40);
    EXPECT_EQ(second->columnWidth(0), grid->columnWidth(0));

    // Reopening makes the fields afresh: the table's order again.
    data.query.Close();
    data.query.Open();
    EXPECT_EQ(second->columnTitle(0), "Id_zach");
}

TEST_F(GridFixture, FieldsRemadeWhileControlsAreDisabledAreNeverRead) {
    auto* label = new TDBText(window.get());
    label->setDataSource(&data.source);
    label->setDataField(QStringLiteral("Fname"));
    data.query.Open();
    data.query.DisableControls();
    data.query.Close();
    data.setWhere("where Id_zach=102");
    data.query.Open(); // new fields; the controls have not heard of them
    // Only live fields may be read (a freed one would be found by the sanitizer build).
    const QString shown = grid->cellText(0, 0);
    EXPECT_TRUE(shown.isEmpty() || shown == "102") << shown.toStdString();
    (void)grid->viewport()->grab();
    if (TField* field = label->Field()) {
        EXPECT_EQ(field->DataSet(), &data.query);
    }
    data.query.EnableControls();
    EXPECT_EQ(grid->cellText(0, 0), "102");
    EXPECT_EQ(label->Caption(), QStringLiteral("Иванова"));
}

TEST_F(GridFixture, CurrentCellIsHighlightedOnlyWhileTheGridHasFocus) {
    auto* other = new QLineEdit(window.get());
    other->setGeometry(0, 210, 100, 20);
    other->show();
    data.query.Open();
    grid->setCurrentColumn(1);
    const QColor highlight = grid->palette().color(QPalette::Highlight);
    auto background = [&](int row, int column) {
        const QImage image = grid->viewport()->grab().toImage();
        return QColor(image.pixel(grid->cellRect(row, column).topLeft() + QPoint(1, 1)));
    };
    grid->setFocus();
    EXPECT_EQ(background(0, 1), highlight);
    EXPECT_NE(background(0, 0), highlight);
    EXPECT_NE(background(1, 1), highlight);
    other->setFocus();
    EXPECT_NE(background(0, 1), highlight);
    EXPECT_TRUE(indicatorShown(*grid, 0)); // the indicator alone marks the current row
}
