#include "bench/BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

struct Ratio {
    std::string figure, numerator, denominator;
};

std::vector<Ratio>& ratios() {
    static std::vector<Ratio> list;
    return list;
}

std::map<std::string, double>& values() {
    static std::map<std::string, double> map;
    return map;
}

// Remembers every run's real time per iteration while printing as usual.
class Collector : public benchmark::ConsoleReporter {
public:
    Collector() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

void registerRatio(const std::string& figure, const std::string& numerator,
                   const std::string& denominator) {
    ratios().push_back({figure, numerator, denominator});
}

void reportValue(const std::string& figure, double value) {
    values()[figure] = value;
}

std::string benchPgConninfo() {
    const char* info = std::getenv("ZEMT_BENCH_PG");
    return info ? info : "";
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    for (const Ratio& r : ratios()) {
        const auto n = collector.times.find(r.numerator);
        const auto d = collector.times.find(r.denominator);
        if (n != collector.times.end() && d != collector.times.end() && d->second > 0)
            std::printf("%s %.4f\n", r.figure.c_str(), n->second / d->second);
    }
    for (const auto& [figure, value] : values())
        std::printf("%s %.2f\n", figure.c_str(), value);
    return 0;
}
