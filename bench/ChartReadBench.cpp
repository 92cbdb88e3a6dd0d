// chart_read_10k_vs_walk: the chart reading 10,000 rooms, against a bare walk.
//
// Baseline: the same open data set walked with First/Next, reading the same
// two fields per row (display text of id_room, kol_mest as a float) with the
// fields looked up once. The measured case is TDBChart::RefreshDataSet, which
// on top of that disables the controls, takes and restores a bookmark, and
// stores one point per row in the series.
#include "data/TADOConnection.h"
#include "data/TADOQuery.h"
#include "tests/support/Catalogs.h"
#include "ui/chart/TBarSeries.h"
#include "ui/chart/TDBChart.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRooms = 10000;

struct RoomList {
    TADOConnection connection;
    TADOQuery query{"ADOQuery6"};
    RoomList() {
        const std::string catalog = testsupport::makeTempSqliteCatalog(false);
        testsupport::execSqlite(
            catalog, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                         std::to_string(kRooms) +
                         ") INSERT INTO Room (id_room, Korpus, Kol_mest) "
                         "SELECT 100000 + i, i % 9 + 1, i % 5 FROM n");
        connection.setConnectionString(testsupport::sqliteConnectionString(catalog));
        query.setConnection(&connection);
        query.SQL().setText("select id_room, Korpus, Kol_mest\r\nfrom room\r\n ");
        query.Open();
    }
};

RoomList& rooms() {
    static RoomList list;
    return list;
}

void chart_read_10k_vs_walk_baseline(benchmark::State& state) {
    TADOQuery& q = rooms().query;
    const TField* label = q.FieldByName("id_room");
    const TField* value = q.FieldByName("kol_mest");
    for (auto _ : state) {
        q.First();
        while (!q.Eof()) {
            std::string text = label->DisplayText();
            double y = value->IsNull() ? 0.0 : value->AsFloat();
            benchmark::DoNotOptimize(text);
            benchmark::DoNotOptimize(y);
            q.Next();
        }
    }
    state.SetItemsProcessed(state.iterations() * kRooms);
}

void chart_read_10k_vs_walk(benchmark::State& state) {
    TADOQuery& q = rooms().query;
    TDBChart chart;
    chart.ShowGlassCursor = false; // no screen here; the cursor is not what is measured
    TBarSeries series(&chart);
    series.setDataSource(&q);
    for (auto _ : state) {
        chart.RefreshDataSet(q);
        benchmark::DoNotOptimize(series.Count());
    }
    if (series.Count() != kRooms)
        state.SkipWithError("the chart did not read every room");
    state.SetItemsProcessed(state.iterations() * kRooms);
}

} // namespace

BENCHMARK(chart_read_10k_vs_walk_baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(chart_read_10k_vs_walk)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
