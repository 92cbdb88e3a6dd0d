// grid_paint_1m_vs_100: painting a full grid view and scrolling it one page
// over 1,000,000 student rows, against exactly the same over 100 rows.
//
// Baseline: a grid of the same size and columns on a data set of 100 rows
// of the same shape. Both start in the middle of their data set; a step
// sends one Page Down (or Page Up, alternately) key to the grid and paints
// the whole grid into an image. The grid paints only the rows in view,
// straight from the held rows, so the two should cost the same.
// Every iteration times one step on each grid, one right after the other, by
// the thread's CPU clock: painting runs on this one thread, and load from
// other processes then weighs on both sides alike. The figure is the ratio
// of the two sums.
#include "bench/BenchMain.h"
#include "controls/TDBGrid.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/TADOQuery.h"
#include "data/dataset/TDataSource.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

namespace {

std::string makeCatalog(int rows) {
    const auto dir = std::filesystem::temp_directory_path() / "zemt-bench-grid";
    std::filesystem::create_directories(dir);
    const auto file = dir / ("students-" + std::to_string(rows) + ".sqlite");
    std::filesystem::remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    const std::string sql =
        "create table student (Id_zach integer primary key, Fname text, Lname text,"
        " Fakultet text, Kurs integer);"
        "begin;"
        "with recursive s(i) as (select 1 union all select i + 1 from s where i < " +
        std::to_string(rows) +
        ") insert into student select 100000 + i, 'Фамилия' || i, 'Имя' || (i % 97),"
        " 'Факультет ' || (i % 13), 1 + i % 5 from s;"
        "commit;";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file.string();
}

struct GridOnRows {
    TADOConnection connection;
    TADOQuery query{"ADOQuery1"};
    TDataSource source{"DataSource1"};
    std::unique_ptr<TDBGrid> grid;
    QImage image;

    explicit GridOnRows(int rows) {
        ensureApplication();
        connection.setConnectionString("Provider=SQLite;Data Source=" + makeCatalog(rows));
        query.setConnection(&connection);
        query.SQL().assignDeclared({"select *", "from student", ""});
        source.setDataSet(&query);
        grid = std::make_unique<TDBGrid>();
        grid->resize(560, 400);
        grid->setColumnList(QStringLiteral("Id_zach;Fname;Lname;Fakultet:96;Kurs"));
        grid->setDataSource(&source);
        grid->show();
        query.Open();
        query.MoveBy(rows / 2);
        image = QImage(grid->size(), QImage::Format_ARGB32_Premultiplied);
    }
};

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One step: a page down or up, then the whole grid painted.
void step(GridOnRows& f, bool down) {
    QKeyEvent key(QEvent::KeyPress, down ? Qt::Key_PageDown : Qt::Key_PageUp, Qt::NoModifier);
    QApplication::sendEvent(f.grid.get(), &key);
    f.grid->render(&f.image);
    benchmark::DoNotOptimize(f.image.constBits());
}

GridOnRows& million() {
    static GridOnRows* f = new GridOnRows(1000000); // lives as long as the application
    return *f;
}

GridOnRows& hundred() {
    static GridOnRows* f = new GridOnRows(100);
    return *f;
}

// Each iteration takes one step on the big grid and the same step on the
// baseline grid, so that both see the same machine at the same moment.
void paintInterleaved(benchmark::State& state) {
    GridOnRows& big = million();
    GridOnRows& small = hundred();
    double bigTime = 0;
    double smallTime = 0;
    bool down = true;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        step(big, down);
        const double t1 = threadSeconds();
        step(small, down);
        const double t2 = threadSeconds();
        down = !down;
        bigTime += t1 - t0;
        smallTime += t2 - t1;
        state.SetIterationTime(t1 - t0);
    }
    for (GridOnRows* f : {&big, &small}) {
        if (f->grid->rowCount() != f->query.RecordCount() || f->grid->currentRow() < 0)
            state.SkipWithError("the grid lost its rows");
    }
    if (smallTime > 0) {
        state.counters["baseline_us"] =
            benchmark::Counter(smallTime * 1e6 / static_cast<double>(state.iterations()));
        reportValue("grid_paint_1m_vs_100", bigTime / smallTime);
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("grid/paint_1m_vs_100", paintInterleaved)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime();
    return true;
}();

} // namespace
