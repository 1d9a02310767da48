// The cost of one calculation through the rules: read the text, check the
// range, compute the bands, summarise them. Measures; asserts nothing.
#include "levels/bands.h"
#include "levels/entry_check.h"
#include "levels/number.h"
#include "levels/summary.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void calculation(benchmark::State& state, const std::string& entry) {
    for (auto _ : state) {
        const double total = levels::readTotal(entry);
        benchmark::DoNotOptimize(levels::rangeCheck(total));
        const auto bands = levels::bandTexts(total);
        std::string title = levels::summaryTitle((*bands)[1], (*bands)[2], (*bands)[3]);
        benchmark::DoNotOptimize(title);
    }
}

void readOnly(benchmark::State& state, const std::string& entry) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(levels::readTotal(entry));
    }
}

void refusal(benchmark::State& state, const std::string& entry) {
    for (auto _ : state) {
        const double total = levels::readTotal(entry);
        benchmark::DoNotOptimize(
            levels::refusalMessage(*levels::rangeCheck(total), entry, total, "."));
    }
}

BENCHMARK_CAPTURE(calculation, typical_200, std::string("200"));
BENCHMARK_CAPTURE(calculation, largest_19999, std::string("19999"));
BENCHMARK_CAPTURE(calculation, pasted_fraction, std::string("12.5"));
BENCHMARK_CAPTURE(readOnly, read_200, std::string("200"));
BENCHMARK_CAPTURE(readOnly, read_400_digits, std::string(400, '9'));
BENCHMARK_CAPTURE(refusal, too_low_5, std::string("5"));

} // namespace

BENCHMARK_MAIN();
