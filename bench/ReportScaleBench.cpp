// The report of all students over an office far larger than any real one:
// 100,000 students with 1,000,000 payments in a SQLite catalog made at bench
// time, printed to PDF through the real data module, the report connections
// and TReportProject, as "Распечатать отчет" does.
//
// report_peak_mb_100k: the highest resident memory during the run, above the
// process's resident memory just before it, in MB (absolute; the kernel's
// high-water mark is reset, and freed heap given back, before the run).
// Opening the two data sets is part of the run: the student list and the
// payment table are closed before it, as after start-up.
// report_peak_mb_100k_second_run: the same for a second run in the same
// process. report_retained_mb_100k: what the process holds after the first
// run above what it held before.
//
// The floor: the two data sets alone, students and payments read into
// memory as the run's connections open them, take about 100 MB.
//
// report_pages_per_s_100k: pages generated and written per second of the
// process's processor time in the first run (opening the data sets
// included). The run is single-threaded, so on an idle machine this is its
// wall-clock rate; on a shared one, wall-clock time would measure the other
// processes too.
#include "BenchMain.h"

#include "data/module/Unit3.h"
#include "report/Form2Reports.h"
#include "report/ReportSystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>

#ifndef ZEMT_SQLITE_SCHEMA
#error "ZEMT_SQLITE_SCHEMA must name db/sqlite/schema.sql"
#endif

namespace {

constexpr int kStudents = 100000;
constexpr int kPayments = 1000000;

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        throw std::runtime_error(error ? error : "sqlite error");
}

std::string fileText(const char* path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Bulk SQL: a few seconds for the whole catalog. Ten payments a student, in
// rowid order spread over the students as an office's cash desk makes them.
void makeCatalog(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create the bench catalog");
    exec(db, fileText(ZEMT_SQLITE_SCHEMA));
    exec(db, "begin");
    exec(db, "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                 std::to_string(kStudents) +
                 ") insert into student select 100000 + i, 'Александров' || i,"
                 " case i % 3 when 0 then 'Иван' when 1 then 'Мария' else 'Константин' end,"
                 " 'Информационных технологий', i % 5 + 1 from n");
    exec(db, "with recursive n(i) as (select 0 union all select i + 1 from n where i < " +
                 std::to_string(kPayments - 1) +
                 ") insert into Platej (Id_zach, Kashier_fname, Month_oplat, Summ, Date_platej)"
                 " select 100001 + i % " +
                 std::to_string(kStudents) + ", 'Иванова', case i / " + std::to_string(kStudents) +
                 " % 4 when 0 then 'Январь' when 1 then 'Сентябрь' when 2 then 'Май'"
                 " else 'Декабрь' end, 1500 + i % 7 * 0.25,"
                 " date('2024-01-01', '+' || (i % 365) || ' days') from n");
    exec(db, "commit");
    sqlite3_close(db);
}

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct RunFigures {
    double peakMb = 0, retainedMb = 0, seconds = 0;
};

struct Office {
    QTemporaryDir dir;
    std::string catalog;
    TDataModule3 module;
    TForm2ReportComponents reports;
    QString pdf;
    int pages = 0;

    Office() {
        catalog = dir.filePath(QStringLiteral("ZEMT.sqlite")).toStdString();
        makeCatalog(catalog);
        module.ADOConnection1->setConnectionString("Provider=SQLite;Data Source=" + catalog);
        DataModule3 = &module;
        pdf = dir.filePath(QStringLiteral("report.pdf"));
        reports.ReportProject1.onSystemCreated = [this](TReportSystem& s) {
            s.ShowSetupDialog = false;
            s.ShowStatus = false;
            s.ReportDest = TReportDest::rdFile;
            s.FileFormat = TReportFileFormat::ffPDF;
            s.OutputFileName = pdf;
        };
        reports.ReportProject1.onPagesGenerated = [this](const report::PageSource& p) {
            pages = p.pageCount();
        };
        reports.ReportProject1.Open(); // the project file is read once per process anyway
    }
    ~Office() { DataModule3 = nullptr; }

    RunFigures run() {
        RunFigures f;
        // Freed heap that the process still holds would hide part of the
        // run's cost: the run could use it without growing.
        malloc_trim(0);
        const long before = statusKb("VmRSS");
        resetPeak();
        const double start = processSeconds();
        reports.runReport(nullptr);
        f.seconds = processSeconds() - start;
        f.peakMb = double(statusKb("VmHWM") - before) / 1024.0;
        f.retainedMb = double(statusKb("VmRSS") - before) / 1024.0;
        QFile::remove(pdf);
        return f;
    }
};

void measured(benchmark::State& state) {
    ensureApplication();
    Office office;
    RunFigures first, second;
    for (auto _ : state) {
        first = office.run();
        second = office.run();
    }
    state.counters["pages"] = office.pages;
    // Connections are found by name: a run that found another benchmark's
    // would measure a different report.
    if (office.pages < kStudents / 10) {
        state.SkipWithError("the report did not run over the bench catalog");
        return;
    }
    reportValue("report_peak_mb_100k", first.peakMb);
    reportValue("report_peak_mb_100k_second_run", second.peakMb);
    reportValue("report_retained_mb_100k", first.retainedMb);
    if (first.seconds > 0)
        reportValue("report_pages_per_s_100k", office.pages / first.seconds);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("report/pdf_100k_students_1m_payments", measured)
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
    return true;
}();

} // namespace
