#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "Ratios.h"

namespace dorvel::bench {

std::vector<Ratio>& Ratios() {
    static std::vector<Ratio> ratios;
    return ratios;
}

namespace {

class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatios() const {
        std::printf("\n%-58s %10s %8s\n", "ratio", "measured", "aim");
        for (const Ratio& r : Ratios()) {
            const auto a = times_.find(r.measured);
            const auto b = times_.find(r.against);
            if (a == times_.end() || b == times_.end() || b->second <= 0) continue;
            const double ratio = a->second / b->second;
            std::printf("%-58s %9.2fx %7.1fx %s\n", r.label.c_str(), ratio, r.aim,
                        ratio <= r.aim ? "ok" : "OVER");
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace
}  // namespace dorvel::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    dorvel::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
