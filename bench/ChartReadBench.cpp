// chart_read_10k_vs_walk: the chart reading 10,000 rooms, against a bare walk.
//
// Baseline (chart/walk_10k): the same open data set walked with First/Next,
// reading the same two fields per row (display text of id_room; kol_mest
// read once, null tested and taken as a float), with the fields looked up once. The measured case
// (chart/read_10k) is TDBChart::RefreshDataSet, which on top of that disables
// the controls, takes and restores a bookmark, and stores one point per row.
// Both run on this one thread and are timed by its CPU clock (manual time),
// so that the load other processes put on the machine does not swing the figure.
#include "bench/BenchMain.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/TADOQuery.h"
#include "ui/chart/TBarSeries.h"
#include "ui/chart/TDBChart.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <ctime>
#include <filesystem>
#include <string>

namespace {

constexpr int kRooms = 10000;

std::string makeRoomCatalog() {
    const auto dir = std::filesystem::temp_directory_path() / "zemt-bench-chart";
    std::filesystem::create_directories(dir);
    const auto file = dir / "rooms.sqlite";
    std::filesystem::remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    const std::string sql = "create table Room (id_room integer primary key, Korpus integer,"
                            " Kol_mest integer);"
                            "with recursive n(i) as (select 1 union all select i + 1 from n"
                            " where i < " +
                            std::to_string(kRooms) +
                            ") insert into Room select 100000 + i, 1 + i % 9, i % 5 from n;";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file.string();
}

struct RoomList {
    TADOConnection connection;
    TADOQuery query{"ADOQuery6"};
    RoomList() {
        connection.setConnectionString("Provider=SQLite;Data Source=" + makeRoomCatalog());
        query.setConnection(&connection);
        query.SQL().assignDeclared({"select id_room, Korpus, Kol_mest", "from room", " "});
        query.Open();
    }
};

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

RoomList& rooms() {
    static RoomList* list = new RoomList(); // lives as long as the application
    return *list;
}

void walk(benchmark::State& state) {
    TADOQuery& q = rooms().query;
    const TField* label = q.FieldByName("id_room");
    const TField* value = q.FieldByName("kol_mest");
    for (auto _ : state) {
        const double start = threadSeconds();
        q.First();
        while (!q.Eof()) {
            std::string text = label->DisplayText();
            const Variant v = value->Value(); // one read of the value, as the chart does
            double y = v.type() == VarType::Integer ? static_cast<double>(v.intValue())
                       : v.type() == VarType::Float ? v.floatValue()
                       : v.isNull()                 ? 0.0
                                                    : value->AsFloat();
            benchmark::DoNotOptimize(text);
            benchmark::DoNotOptimize(y);
            q.Next();
        }
        state.SetIterationTime(threadSeconds() - start);
    }
}

void read(benchmark::State& state) {
    ensureApplication();
    TADOQuery& q = rooms().query;
    TDBChart chart;
    chart.ShowGlassCursor = false; // the cursor is not what is measured
    TBarSeries series(&chart);
    series.setDataSource(&q); // open already: reads once here
    for (auto _ : state) {
        const double start = threadSeconds();
        chart.RefreshDataSet(q);
        benchmark::DoNotOptimize(series.Count());
        state.SetIterationTime(threadSeconds() - start);
    }
    if (series.Count() != kRooms)
        state.SkipWithError("the chart did not read every room");
}

const bool registered = [] {
    benchmark::RegisterBenchmark("chart/walk_10k", walk)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
    benchmark::RegisterBenchmark("chart/read_10k", read)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
    registerRatio("chart_read_10k_vs_walk", "chart/read_10k/manual_time",
                  "chart/walk_10k/manual_time");
    return true;
}();

} // namespace
