#pragma once
// Benchmarks come in pairs measured in one run: the program's work and the
// floor or peer it is held against. BenchMain prints each pair's ratio.

#include <string>
#include <vector>

namespace dorvel::bench {

struct Ratio {
    std::string label;
    std::string measured;  // benchmark names as Google Benchmark reports them
    std::string against;
    double aim;  // the ratio we hold ourselves to, at most
};

std::vector<Ratio>& Ratios();

struct RegisterRatio {
    RegisterRatio(std::string label, std::string measured, std::string against, double aim) {
        Ratios().push_back({std::move(label), std::move(measured), std::move(against), aim});
    }
};

}  // namespace dorvel::bench
