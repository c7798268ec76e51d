// One whole CORRECTIONAMOUNT call, its console line included, written to a console that drops
// every byte. Built with the other timestamp benchmarks.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string_view>

#include "lineio/channels.hpp"
#include "lineio/console.hpp"
#include "timestamp/correction.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

class DroppingConsole final : public lineio::Console {
  public:
    int read_input(char*, std::size_t, std::size_t& count) override {
        count = 0;
        return 0;
    }
    int write_output(std::string_view bytes) override {
        benchmark::DoNotOptimize(bytes.data());
        return 0;
    }
    int write_error(std::string_view) override { return 0; }
    // Written through line by line, so that nothing piles up over millions of calls.
    bool output_is_interactive() const override { return true; }
};

void CORRECTIONAMOUNT_call(benchmark::State& state) {
    DroppingConsole console;
    lineio::Channels channels(console);
    const Timestamp camera{2025, 11, 21, 15, 30, 0};
    const Timestamp actual{2013, 1, 15, 16, 30, 0};
    const std::int32_t lowest = lowest_year;
    std::int32_t correction = 0;
    for (auto _ : state) {
        CORRECTIONAMOUNT(channels, camera.year, camera.month, camera.day, camera.hour,
                         camera.minute, camera.second, actual.year, actual.month, actual.day,
                         actual.hour, actual.minute, actual.second, correction, lowest);
        benchmark::DoNotOptimize(correction);
    }
    if (correction != -6'757'860) {
        state.SkipWithError("unexpected correction");
    }
}

BENCHMARK(CORRECTIONAMOUNT_call);

}  // namespace
}  // namespace timestamp
