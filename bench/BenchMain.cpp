#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

#include "Ratios.h"

namespace dorvel::bench {

std::vector<Ratio>& Ratios() {
    static std::vector<Ratio> ratios;
    return ratios;
}

namespace {

// "Name/min_time:0.300/repeats:3" and the like stand for "Name".
std::string PlainName(std::string name) {
    for (const char* tag : {"/min_time:", "/repeats:", "/iterations:", "/manual_time"}) {
        const auto at = name.find(tag);
        if (at != std::string::npos) name.erase(at);
    }
    return name;
}

class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark; a machine
        // shared with others is too noisy for a single sample.
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Iteration &&
                times_.count(PlainName(run.benchmark_name())) == 0) {
                times_[PlainName(run.benchmark_name())] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                times_[PlainName(run.run_name.str())] = run.GetAdjustedRealTime();
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
            std::printf("%-58s %9.4fx %7.2fx %s\n", r.label.c_str(), ratio, r.aim,
                        ratio <= r.aim ? "ok" : "OVER");
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace
}  // namespace dorvel::bench

int main(int argc, char** argv) {
    // Five repetitions unless told otherwise; ratios use their medians.
    std::vector<char*> args(argv, argv + argc);
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregates[] = "--benchmark_report_aggregates_only=true";
    bool given = false;
    for (char* a : args)
        given = given || std::string_view(a).starts_with("--benchmark_repetitions");
    if (!given) {
        args.push_back(repetitions);
        args.push_back(aggregates);
    }
    argc = static_cast<int>(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    dorvel::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
