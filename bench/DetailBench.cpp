// A detail following its master: 1,000,000 detail rows over 100,000 master
// keys; one move of the master, against restricting by a scan of every row.
#include "bench/BenchMain.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/TADOQuery.h"
#include "data/dataset/TADOTable.h"
#include "data/dataset/TDataSource.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int kMasters = 100000;
constexpr int kDetails = 1000000;

const std::string& detailPath() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / "zemt-bench-detail";
        std::filesystem::create_directories(dir);
        const auto file = dir / "detail.sqlite";
        std::filesystem::remove(file);
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(
            db,
            "create table m (k integer primary key);"
            "create table d (id integer primary key, k integer, v integer);"
            "begin;"
            "with recursive s(i) as (select 1 union all select i + 1 from s where i < 100000)"
            " insert into m select i from s;"
            "with recursive s(i) as (select 0 union all select i + 1 from s where i < 999999)"
            " insert into d select i + 1, (i * 7919) % 100000 + 1, i from s;"
            "commit;",
            nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file.string();
    }();
    return path;
}

struct Fixture {
    TADOConnection connection;
    TADOQuery master{"ADOQuery6"};
    TDataSource source{"DataSource5"};
    TADOTable detail{"ADOTable1"};

    Fixture() {
        connection.setConnectionString("Provider=SQLite;Data Source=" + detailPath());
        master.setConnection(&connection);
        master.SQL().assignDeclared({"select k from m order by k"});
        source.setDataSet(&master);
        detail.setConnection(&connection);
        detail.setTableName("d");
        detail.setMasterSource(&source);
        detail.setMasterFields("k");
        detail.setIndexFieldNames("k");
        master.Open();
        detail.Open();
    }
    void step() {
        if (master.Eof())
            master.First();
        else
            master.Next();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The data layer: the detail follows through its index on the link column.
void moveWithIndex(benchmark::State& state) {
    Fixture& f = fixture();
    f.step(); // the first restriction builds the index
    for (auto _ : state) {
        f.step();
        benchmark::DoNotOptimize(f.detail.RecordCount());
    }
}

// Baseline: the same move, then the rows of the new key found by scanning
// every held row's link value (copied beforehand into a plain array, the
// fastest scan there is).
void moveWithScan(benchmark::State& state) {
    Fixture& f = fixture();
    const int link = f.detail.FieldByName("k")->Index();
    f.master.Close(); // the detail holds every row again
    std::vector<std::int64_t> keys(static_cast<size_t>(f.detail.RecordCount()));
    for (int i = 0; i < f.detail.RecordCount(); ++i)
        keys[static_cast<size_t>(i)] = f.detail.rowValue(i, link).intValue();
    f.master.Open();
    std::int64_t key = 1;
    for (auto _ : state) {
        key = key % kMasters + 1;
        std::vector<std::uint32_t> rows;
        for (std::uint32_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key)
                rows.push_back(i);
        benchmark::DoNotOptimize(rows.data());
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("detail/move_index", moveWithIndex)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("detail/move_scan", moveWithScan)->Unit(benchmark::kMicrosecond);
    registerRatio("detail_move_1m_vs_scan", "detail/move_index", "detail/move_scan");
    return true;
}();

} // namespace
