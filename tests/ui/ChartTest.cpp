// The room chart over a real SQLite catalog: when it reads the room list,
// what its bars hold, and that the room list's current row stays put.
#include "data/dataset/TDataLink.h"
#include "data/module/Unit3.h"
#include "data/values/Exceptions.h"
#include "shell/TApplication.h"
#include "tests/support/Catalogs.h"
#include "ui/chart/ChartFormat.h"
#include "ui/chart/TBarSeries.h"
#include "ui/chart/TDBChart.h"
#include "ui/chart/Unit7.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

/// Counts what the room grid would hear through DataSource5.
class GridProbe : public TDataLink {
public:
    int scrolls = 0;
    int changes = 0;

protected:
    void dataSetScrolled(int) override { ++scrolls; }
    void dataSetChanged() override { ++changes; }
};

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog = testsupport::makeTempSqliteCatalog(true);
        // A room nobody lives in, so that it can be deleted, with a null place count.
        testsupport::execSqlite(
            catalog, "INSERT INTO Room (id_room, Korpus, Kol_mest) VALUES (9001, 9, NULL)");
        module = new TDataModule3();
        module->ADOConnection1->setConnectionString(testsupport::sqliteConnectionString(catalog));
        form = new TForm7();
        rooms = module->ADOQuery6;
    }
    void TearDown() override {
        delete form;
        delete module;
        DataModule3 = nullptr;
    }

    void sortBy(const std::string& orderBy) {
        rooms->SQL().setLine(2, orderBy); // closes the room list
        rooms->Open();
    }
    int roomCount() const {
        return std::stoi(testsupport::queryScalarSqlite(catalog, "select count(*) from room"));
    }
    const TBarSeries& bars() const { return *form->Series1; }
    std::string currentRoom() const { return rooms->FieldByName("id_room")->DisplayText(); }

    std::string catalog;
    TDataModule3* module = nullptr;
    TForm7* form = nullptr;
    TADOQuery* rooms = nullptr;
};

TEST_F(ChartTest, HasNoBarsUntilTheRoomListOpensAndNoneAfterItCloses) {
    EXPECT_EQ(bars().DataSource(), rooms);
    EXPECT_EQ(bars().Count(), 0);
    sortBy("ORDER BY id_room ASC");
    EXPECT_EQ(bars().Count(), roomCount());
    rooms->Close();
    EXPECT_EQ(bars().Count(), 0);
}

TEST_F(ChartTest, BarsFollowTheRoomListSortedByPlacesDescending) {
    sortBy("ORDER BY Kol_mest DESC");
    ASSERT_EQ(bars().Count(), roomCount());
    EXPECT_EQ(bars().point(0).label, currentRoom()) << "first row's room number";
    double previous = 1e300;
    for (int i = 0; i < bars().Count(); ++i) {
        const TChartValue& p = bars().point(i);
        EXPECT_EQ(p.x, i);
        if (p.isNull)
            continue;
        EXPECT_LE(p.y, previous) << "bar " << i;
        previous = p.y;
    }
}

TEST_F(ChartTest, SortingTwiceShowsOnlyTheLatestSort) {
    sortBy("ORDER BY id_room ASC");
    sortBy("ORDER BY id_room DESC");
    ASSERT_EQ(bars().Count(), roomCount());
    EXPECT_EQ(bars().point(0).label, "9001");
    EXPECT_EQ(bars().point(bars().Count() - 1).label,
              testsupport::queryScalarSqlite(catalog, "select min(id_room) from room"));
}

TEST_F(ChartTest, ARoomWithNoPlaceCountKeepsAPointWithNoBar) {
    sortBy("ORDER BY id_room DESC");
    const TChartValue& unknown = bars().point(0);
    EXPECT_EQ(unknown.label, "9001");
    EXPECT_TRUE(unknown.isNull);
    EXPECT_EQ(unknown.y, 0.0);
    EXPECT_FALSE(bars().point(1).isNull);
}

// Which changes of the room list make the chart read all rows again. The
// bars are emptied by hand first, so that a read shows as bars coming back.
TEST_F(ChartTest, OnlyOpeningAndPostingARowReadAgain) {
    struct Case {
        const char* name;
        std::function<void(TADOQuery&)> action;
        bool reads;
    };
    const Case cases[] = {
        {"scroll",
         [](TADOQuery& q) {
             q.Next();
             q.Last();
             q.First();
         },
         false},
        {"refresh", [](TADOQuery& q) { q.Refresh(); }, false},
        {"edit then cancel",
         [](TADOQuery& q) {
             q.Edit();
             q.Cancel();
         },
         false},
        {"delete", [](TADOQuery& q) { q.Delete(); }, false}, // row 9001 comes first
        {"edit then post",
         [](TADOQuery& q) {
             q.Edit();
             q.FieldByName("kol_mest")->setAsInteger(7);
             q.Post();
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sortBy("ORDER BY id_room DESC");
        form->Series1->Clear();
        c.action(*rooms);
        EXPECT_EQ(bars().Count() > 0, c.reads);
    }
}

TEST_F(ChartTest, APostedEditShowsTheNewValueAndADeletedRoomKeepsItsBar) {
    sortBy("ORDER BY id_room DESC");
    rooms->Edit();
    rooms->FieldByName("kol_mest")->setAsInteger(6);
    rooms->Post();
    ASSERT_EQ(bars().point(0).label, "9001");
    EXPECT_FALSE(bars().point(0).isNull);
    EXPECT_EQ(bars().point(0).y, 6.0);

    const int before = bars().Count();
    rooms->First();
    rooms->Delete();
    EXPECT_EQ(
        testsupport::queryScalarSqlite(catalog, "select count(*) from room where id_room=9001"),
        "0");
    EXPECT_EQ(bars().Count(), before);
    EXPECT_EQ(bars().point(0).label, "9001") << "its bar stays until the next read";
}

TEST_F(ChartTest, AReadKeepsTheCurrentRowAndTheFurnitureDetail) {
    sortBy("ORDER BY id_room ASC");
    module->ADOTable1->Open(); // the furniture of the current room
    rooms->MoveBy(4);
    const std::string room = currentRoom();
    const std::string furnitureRoom = module->ADOTable1->FieldByName("ID_room")->DisplayText();
    ASSERT_EQ(furnitureRoom, room);

    GridProbe grid;
    grid.setDataSource(module->DataSource5);
    form->DBChart1->RefreshDataSet(*rooms);

    EXPECT_EQ(bars().Count(), roomCount());
    EXPECT_EQ(rooms->RecNo(), 5);
    EXPECT_EQ(currentRoom(), room);
    EXPECT_EQ(module->ADOTable1->FieldByName("ID_room")->DisplayText(), furnitureRoom);
    EXPECT_EQ(grid.scrolls, 0) << "the grid does not follow the walk";
    EXPECT_FALSE(rooms->ControlsDisabled());
    grid.setDataSource(nullptr);
}

TEST_F(ChartTest, AFailedReadRestoresControlsAndPropagates) {
    form->Series1->YValuesSource = "places";
    try {
        sortBy("ORDER BY id_room ASC");
        ADD_FAILURE() << "the read should fail";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Field 'places' not found"), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(rooms->ControlsDisabled());
    EXPECT_FALSE(form->DBChart1->busy());
}

TEST_F(ChartTest, WindowAsDefined) {
    EXPECT_EQ(form->windowTitle(), QString("Диаграмма"));
    EXPECT_EQ(form->BitBtn1->text(), QString("Закрыть"));
    EXPECT_EQ(form->DBChart1->size(), QSize(865, 353));
    EXPECT_EQ(form->DBChart1->titleText(), QStringList({"Кол-во мест в комнатах", ""}));
    // Stored at -1, -8 with the view scrolled by 1: the scrollable area starts at 0.
    EXPECT_EQ(form->DBChart1->pos(), QPoint(0, -8));
    EXPECT_EQ(form->ScrollContents->width(), 865);

    sortBy("ORDER BY id_room ASC");
    form->Show();
    QCoreApplication::processEvents(); // scroll bars are shown or hidden by a posted call
    const QScrollBar* across = form->ScrollBox->horizontalScrollBar();
    EXPECT_EQ(across->value(), 1);
    EXPECT_EQ(across->maximum(), 865 - form->ScrollBox->viewport()->width());
    EXPECT_FALSE(form->ScrollBox->verticalScrollBar()->isVisible());
    form->BitBtn1->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(bars().Count(), roomCount()) << "closing keeps the bars";
}

// The demo catalog has more than a hundred rooms: the picture must still fit
// and keep its title, bars and marks.
TEST_F(ChartTest, PaintsTheDemoCatalogIntoAnImage) {
    testsupport::execSqlite(catalog, "DELETE FROM Room WHERE id_room = 9001");
    sortBy("ORDER BY Kol_mest DESC");
    const QImage image = form->DBChart1->toImage();
    ASSERT_EQ(image.size(), QSize(865, 353));
    int red = 0, blueTitle = 0, paleMark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c == QColor(Qt::red);
            blueTitle += y < 24 && c.blue() > 200 && c.red() < 80 && c.green() < 80;
            paleMark += c == QColor(255, 255, 128);
        }
    EXPECT_GT(red, 2000);
    EXPECT_GT(blueTitle, 20);
    EXPECT_GT(paleMark, 500);

    const QString shots = qEnvironmentVariable("ZEMT_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        form->Show();
        QCoreApplication::processEvents();
        form->grab().save(QDir(shots).filePath("chart.png"));
    }
}

/// Records what a widget tells assistive technology while one listens. With
/// no assistive technology (the offscreen platform) Qt sends nothing, and
/// only a run on a desktop with an accessibility bus (or under X with
/// QT_LINUX_ACCESSIBILITY_ALWAYS_ON) sees the events.
class AccessibilityEvents {
public:
    explicit AccessibilityEvents(QObject* watched) {
        watched_ = watched;
        events_ = &kinds;
        previous_ = QAccessible::installUpdateHandler(&record);
    }
    ~AccessibilityEvents() {
        QAccessible::installUpdateHandler(previous_);
        events_ = nullptr;
    }
    AccessibilityEvents(const AccessibilityEvents&) = delete;
    AccessibilityEvents& operator=(const AccessibilityEvents&) = delete;

    static bool heard() { return QAccessible::isActive(); }
    std::vector<QAccessible::Event> kinds;

private:
    static void record(QAccessibleEvent* event) {
        if (events_ && event->object() == watched_)
            events_->push_back(event->type());
    }
    static inline QObject* watched_ = nullptr;
    static inline std::vector<QAccessible::Event>* events_ = nullptr;
    QAccessible::UpdateHandler previous_ = nullptr;
};

/// Each bar's room and places as the accessible table gives them.
QStringList accessibleRows(QAccessibleTableInterface* table) {
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->cellAt(r, 0)->text(QAccessible::Name) + "=" +
                    table->cellAt(r, 1)->text(QAccessible::Name);
    return rows;
}

// What a screen reader reads: a table named by the chart's title, a row per
// bar with the room and its places, replaced whenever the bars are.
TEST_F(ChartTest, AssistiveTechnologyReadsTheBarsAsATableOfRoomsAndPlaces) {
    AccessibilityEvents events(form->DBChart1);
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(form->DBChart1);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->role(), QAccessible::Table);
    EXPECT_EQ(chart->text(QAccessible::Name), QStringLiteral("Кол-во мест в комнатах"));
    QAccessibleTableInterface* table = chart->tableInterface();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columnCount(), 2);
    EXPECT_EQ(table->columnDescription(0), QStringLiteral("Комната"));
    EXPECT_EQ(table->columnDescription(1), QStringLiteral("Кол-во мест"));
    EXPECT_EQ(table->rowCount(), 0);

    sortBy("ORDER BY id_room ASC");
    ASSERT_EQ(table->rowCount(), roomCount());
    const QString firstBefore = table->cellAt(0, 0)->text(QAccessible::Name);
    events.kinds.clear();
    sortBy("ORDER BY id_room DESC");
    if (AccessibilityEvents::heard()) {
        EXPECT_EQ(events.kinds, (std::vector<QAccessible::Event>{QAccessible::TableModelChanged,
                                                                 QAccessible::TableModelChanged}))
            << "emptied by the close, filled by the open";
    }
    EXPECT_NE(table->cellAt(0, 0)->text(QAccessible::Name), firstBefore) << "read anew";
    ASSERT_EQ(table->rowCount(), roomCount());
    QStringList expected;
    for (const TChartValue& p : bars().points())
        expected << QString::fromStdString(p.label) + "=" +
                        (p.isNull ? QString() : formatChartValue(p.y));
    EXPECT_EQ(accessibleRows(table), expected);
    EXPECT_EQ(expected.front(), "9001=") << "a room with no place count reads as no places";
    EXPECT_EQ(table->cellAt(1, 1)->text(QAccessible::Name),
              QString::fromStdString(testsupport::queryScalarSqlite(
                  catalog, "select kol_mest from room where id_room=" + bars().point(1).label)));

    // The cells are the table's children, after the two column titles.
    EXPECT_EQ(chart->childCount(), 2 * (roomCount() + 1));
    EXPECT_EQ(chart->child(1)->text(QAccessible::Name), QStringLiteral("Кол-во мест"));
    QAccessibleInterface* cell = table->cellAt(2, 1);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->parent(), chart);
    EXPECT_EQ(chart->child(chart->indexOfChild(cell)), cell);
    ASSERT_EQ(cell->tableCellInterface()->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->tableCellInterface()->columnHeaderCells()[0], chart->child(1));

    events.kinds.clear();
    rooms->Close();
    EXPECT_EQ(table->rowCount(), 0);
    if (AccessibilityEvents::heard()) {
        EXPECT_EQ(events.kinds, std::vector<QAccessible::Event>{QAccessible::TableModelChanged});
    }

    events.kinds.clear();
    form->DBChart1->setTitleText({"Места", ""});
    EXPECT_EQ(chart->text(QAccessible::Name), QStringLiteral("Места"));
    if (AccessibilityEvents::heard()) {
        EXPECT_EQ(events.kinds, std::vector<QAccessible::Event>{QAccessible::NameChanged});
    }
}

/// Rows of an image that hold a pixel of the title's blue.
std::vector<int> blueRows(const QImage& image) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 200 && c.red() < 80 && c.green() < 80) {
                rows.push_back(y);
                break;
            }
        }
    return rows;
}

// The chart window keeps the chart's top rows out of view; only that window
// moves the title down, a chart elsewhere starts it at its own top.
TEST_F(ChartTest, TheTitleStartsBelowTheRowsTheWindowHides) {
    const int hidden = -form->DBChart1->y();
    ASSERT_GT(hidden, 0);
    const std::vector<int> inWindow = blueRows(form->DBChart1->toImage());
    ASSERT_FALSE(inWindow.empty());
    EXPECT_GE(inWindow.front(), hidden);

    TDBChart plain;
    plain.resize(form->DBChart1->size());
    plain.setTitleText(form->DBChart1->titleText());
    const std::vector<int> alone = blueRows(plain.toImage());
    ASSERT_FALSE(alone.empty());
    EXPECT_LT(alone.front(), hidden);
    EXPECT_EQ(inWindow.front() - alone.front(), hidden);
}

// The value labels stand right-aligned in a column as wide as the widest of
// them, inside the chart's 8-pixel margin. Ranges whose end falls on a tick
// only within rounding (-10.2 is not 51 steps of 0.2 in binary) once drew a
// tick that the column was not measured for.
TEST(ChartPainting, EveryValueLabelStaysInsideTheMargin) {
    struct Case {
        double low, high;
        int height;
    };
    const Case cases[] = {{-10.2, 0, 2000}, {-8.2, 10.2, 3000}, {0, 7, 353}, {-3, 4, 353}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high);
        TDBChart chart;
        chart.resize(400, c.height);
        TBarSeries series(&chart);
        series.MarksVisible = false;
        series.AddXY(0, c.low, "a");
        series.AddXY(1, c.high, "b");
        const QImage image = chart.toImage();
        const QColor panel = chart.palette().color(QPalette::Window);
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < 8; ++x)
                ink += image.pixelColor(x, y) != panel;
        EXPECT_EQ(ink, 0);
    }
}

// The legend is measured by its shadow: the column just right of the box is
// black for as many pixel rows as the box is high.
TEST(ChartPainting, ABarWithNoValueKeepsItsLegendRow) {
    auto legendHeight = [](const std::vector<std::pair<double, bool>>& values) {
        TDBChart chart;
        chart.resize(500, 300);
        TBarSeries series(&chart);
        for (const auto& [y, isNull] : values)
            series.AddXY(series.Count(), y, std::to_string(101 + series.Count()), isNull);
        const QImage image = chart.toImage();
        int black = 0;
        for (int y = 0; y < image.height(); ++y)
            black += image.pixelColor(image.width() - 10, y) == QColor(Qt::black);
        return black;
    };
    const int one = legendHeight({{2, false}});
    const int two = legendHeight({{2, false}, {3, false}});
    ASSERT_GT(two, one);
    EXPECT_EQ(legendHeight({{2, false}, {0, true}}), two);
    EXPECT_EQ(legendHeight({{0, true}}), one) << "a chart of only empty rooms still lists them";
    EXPECT_EQ(chartLegendText(TChartValue{1, 0, "9001", true}), "0 9001");
}

TEST(ChartText, ValuesAndMarks) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{0, "0"},
                          {4, "4"},
                          {1234567, "1,234,567"},
                          {2.5, "2.5"},
                          {0.1235, "0.124"},
                          {-1234.5, "-1,234.5"},
                          {999.9996, "1,000"},
                          {-0.0001, "0"}};
    for (const Case& c : cases)
        EXPECT_EQ(formatChartValue(c.value, ',', '.'), QString(c.text)) << c.value;

    EXPECT_EQ(chartMarkText(TChartValue{0, 3, "101", false}), "101");
    EXPECT_EQ(chartMarkText(TChartValue{1, 3, "", false}), "3") << "an empty label shows the value";
}

TEST(ChartSeries, PointsKeepAscendingXOrder) {
    TBarSeries series;
    series.AddXY(0, 1, "a");
    series.AddXY(2, 1, "c");
    series.AddXY(1, 1, "b");
    series.AddXY(1, 1, "b2");
    QStringList order;
    for (const TChartValue& p : series.points())
        order << QString::fromStdString(p.label);
    EXPECT_EQ(order, QStringList({"a", "b", "b2", "c"}));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
