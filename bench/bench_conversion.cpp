// Code -> voltage text -> temperature -> display texts, and one log entry.

#include "conversion.h"
#include "log_entry.h"
#include "time_of_day.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

std::tm fourteenOhThreeOhSeven() {
    std::tm time{};
    time.tm_hour = 14;
    time.tm_min = 3;
    time.tm_sec = 7;
    return time;
}

void convertAll(benchmark::State& state, const measure::NumberFormat& format) {
    for (auto _ : state) {
        for (int code = 0; code < 1024; ++code) {
            measure::Conversion c = measure::convertCode(code, format);
            benchmark::DoNotOptimize(c);
        }
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}

void BM_ConvertAll1024Codes_Point(benchmark::State& state) {
    convertAll(state, measure::NumberFormat{});
}
BENCHMARK(BM_ConvertAll1024Codes_Point)->Unit(benchmark::kMicrosecond);

void BM_ConvertAll1024Codes_Comma(benchmark::State& state) {
    convertAll(state, measure::NumberFormat{","});
}
BENCHMARK(BM_ConvertAll1024Codes_Comma)->Unit(benchmark::kMicrosecond);

void BM_LogEntry(benchmark::State& state) {
    const measure::NumberFormat format;
    const std::string temperature = measure::convertCode(600, format).temperatureText;
    const std::tm time = fourteenOhThreeOhSeven();
    for (auto _ : state) {
        std::string entry = measure::logEntry(temperature, qtui::timeOfDayText(time));
        benchmark::DoNotOptimize(entry);
    }
}
BENCHMARK(BM_LogEntry);

void BM_TimeOfDayText(benchmark::State& state) {
    const std::tm time = fourteenOhThreeOhSeven();
    for (auto _ : state) {
        std::string text = qtui::timeOfDayText(time);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_TimeOfDayText);

} // namespace
