// Time of one file timestamp shift (CORRECTDATE) and of one clock correction (CORRECTIONAMOUNT),
// computed in closed form as the program does, next to the same results found by walking the
// calendar minute by minute. Run from the top of the source tree:
//
//   cmake --preset default && cmake --build --preset default -j2 --target rur_timestamp_bench &&
//   ./build/bench/rur_timestamp_bench
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar_walk.hpp"
#include "timestamp/calendar.hpp"
#include "timestamp/corrected_date.hpp"
#include "timestamp/correction.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

// The six timestamp texts of one file name, as the renaming pass cuts them.
struct FileTexts {
    std::array<char, 4> year;
    std::array<char, 2> month, day, hour, minute, second;
};

struct ShiftCase {
    FileTexts texts;
    std::int32_t correction;
    std::string_view shifted;  // year to minute, as both ways must leave them
};

std::string year_to_minute(const FileTexts& texts) {
    std::string joined(texts.year.begin(), texts.year.end());
    for (const auto* field : {&texts.month, &texts.day, &texts.hour, &texts.minute}) {
        joined.append(field->begin(), field->end());
    }
    return joined;
}

// The worked example of the dialogue's prompts, and the last minute of the calendar, which the
// walk reaches only after counting every minute before it.
constexpr ShiftCase worked_example{
    {{'2', '0', '2', '5'}, {'1', '1'}, {'2', '1'}, {'1', '5'}, {'3', '1'}, {'0', '7'}},
    -6'757'860,
    "201301151631"};
constexpr ShiftCase calendar_end{
    {{'2', '0', '5', '0'}, {'1', '2'}, {'3', '1'}, {'2', '3'}, {'5', '0'}, {'0', '7'}},
    9,
    "205012312359"};

template <typename Shift>
void shift_one_file(benchmark::State& state, const ShiftCase& shift_case, Shift shift) {
    const std::int32_t lowest = lowest_year;
    ShiftOutcome outcome = ShiftOutcome::shifted;
    FileTexts texts = shift_case.texts;
    for (auto _ : state) {
        texts = shift_case.texts;
        benchmark::DoNotOptimize(texts);
        shift(texts.year, texts.month, texts.day, texts.hour, texts.minute, texts.second,
              shift_case.correction, lowest, outcome);
        benchmark::DoNotOptimize(texts);
        benchmark::DoNotOptimize(outcome);
    }
    if (outcome != ShiftOutcome::shifted || year_to_minute(texts) != shift_case.shifted) {
        state.SkipWithError("the shift gave a wrong timestamp");
    }
}

void CORRECTDATE_closed_form(benchmark::State& state, const ShiftCase& shift_case) {
    shift_one_file(state, shift_case,
                   [](std::span<char> y, std::span<char> mo, std::span<char> d, std::span<char> h,
                      std::span<char> mi, std::span<char> s, const std::int32_t& correction,
                      const std::int32_t& lowest, ShiftOutcome& outcome) {
                       CORRECTDATE(y, mo, d, h, mi, s, correction, lowest, outcome);
                   });
}

void CORRECTDATE_walk(benchmark::State& state, const ShiftCase& shift_case) {
    shift_one_file(state, shift_case, walk::shift_texts);
}

BENCHMARK_CAPTURE(CORRECTDATE_closed_form, worked_example, worked_example);
BENCHMARK_CAPTURE(CORRECTDATE_walk, worked_example, worked_example)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CORRECTDATE_closed_form, calendar_end, calendar_end);
BENCHMARK_CAPTURE(CORRECTDATE_walk, calendar_end, calendar_end)->Unit(benchmark::kMillisecond);

// The arithmetic of CORRECTIONAMOUNT without its console line: both positions, their difference
// and the breakdown, for the worked example.
constexpr Timestamp camera{2025, 11, 21, 15, 30, 0};
constexpr Timestamp actual{2013, 1, 15, 16, 30, 0};

void correction_closed_form(benchmark::State& state) {
    const Calendar calendar(lowest_year);
    for (auto _ : state) {
        Timestamp camera_typed = camera;
        benchmark::DoNotOptimize(camera_typed);
        const std::int64_t correction = correction_between(calendar, camera_typed, actual);
        CorrectionBreakdown breakdown =
            breakdown_of(calendar, correction < 0 ? -correction : correction);
        benchmark::DoNotOptimize(breakdown);
    }
}

void correction_walk(benchmark::State& state) {
    const CalendarMinute camera_minute{camera.year, camera.month, camera.day, camera.hour,
                                       camera.minute};
    const CalendarMinute actual_minute{actual.year, actual.month, actual.day, actual.hour,
                                       actual.minute};
    for (auto _ : state) {
        CorrectionBreakdown breakdown{};
        std::int64_t correction =
            walk::correction_and_breakdown(lowest_year, camera_minute, actual_minute, breakdown);
        benchmark::DoNotOptimize(correction);
        benchmark::DoNotOptimize(breakdown);
    }
}

BENCHMARK(correction_closed_form);
BENCHMARK(correction_walk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace timestamp

BENCHMARK_MAIN();
