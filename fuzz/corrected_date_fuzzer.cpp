// The shift of a file's timestamp over arbitrary 23-byte names and corrections, checked against
// the standard library's civil calendar (std::chrono), which agrees with the program's calendar
// on every year from 2000 to 2050.
//
// Input: the 23 bytes of a name, the correction (four bytes, least significant first) and one
// byte for the lowest year: below 128 the program's own 2009, otherwise a year from 2000 to 2050.
#include <array>
#include <chrono>
#include <span>

#include "fuzz_support.hpp"
#include "timestamp/corrected_date.hpp"
#include "timestamp/timestamp.hpp"

namespace {

namespace chrono = std::chrono;
using timestamp::ShiftOutcome;

// Where the six texts stand in a name, "yyyy mn dy hr mn sc".
constexpr std::array<std::size_t, 6> columns{0, 5, 8, 11, 14, 17};

std::string two_digits(long long value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

// What the shift must give: the outcome, and the name with its shifted texts or as it was. Only
// the year's last two digits count; every text must be a numeral from "00" to "60".
ShiftOutcome expected_shift(std::string& name, std::int32_t correction, std::int32_t lowest) {
    std::array<int, 6> value{};
    for (std::size_t field = 0; field < columns.size(); ++field) {
        const std::size_t at = columns[field] + (field == 0 ? 2 : 0);
        const char tens = name[at], units = name[at + 1];
        value[field] = (tens - '0') * 10 + (units - '0');
        if (tens < '0' || tens > '9' || units < '0' || units > '9' || value[field] > 60) {
            return ShiftOutcome::not_a_calendar_minute;
        }
    }
    const chrono::year_month_day date{chrono::year{2000 + value[0]},
                                      chrono::month{static_cast<unsigned>(value[1])},
                                      chrono::day{static_cast<unsigned>(value[2])}};
    if (2000 + value[0] < lowest || 2000 + value[0] > timestamp::last_year || !date.ok() ||
        value[3] > 23 || value[4] > 59) {
        return ShiftOutcome::not_a_calendar_minute;
    }
    const auto shifted = chrono::sys_days{date} + chrono::hours{value[3]} +
                         chrono::minutes{value[4] + std::int64_t{correction}};
    if (shifted < chrono::sys_days{chrono::year{lowest} / 1 / 1} ||
        shifted >= chrono::sys_days{chrono::year{timestamp::last_year + 1} / 1 / 1}) {
        return ShiftOutcome::outside_calendar;
    }
    const chrono::sys_days day = chrono::floor<chrono::days>(shifted);
    const chrono::year_month_day shifted_date{day};
    const chrono::hh_mm_ss time{shifted - day};
    name.replace(0, 4, "20" + two_digits(int{shifted_date.year()} - 2000));
    name.replace(5, 2, two_digits(unsigned{shifted_date.month()}));
    name.replace(8, 2, two_digits(unsigned{shifted_date.day()}));
    name.replace(11, 2, two_digits(time.hours().count()));
    name.replace(14, 2, two_digits(time.minutes().count()));
    return ShiftOutcome::shifted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz_support::bytes_of(data, size, 28);
    std::string name = bytes.substr(0, 23);
    const auto byte = [&bytes](std::size_t at) { return static_cast<std::uint8_t>(bytes[at]); };
    const auto correction = static_cast<std::int32_t>(byte(23) | byte(24) << 8 | byte(25) << 16 |
                                                      std::uint32_t{byte(26)} << 24);
    const std::int32_t lowest = byte(27) < 128 ? timestamp::lowest_year : 2000 + byte(27) % 51;

    // Each text in a buffer of its own, as the renaming pass cuts them, so that the sanitizer
    // sees a write past one.
    std::array<std::string, 6> texts;
    for (std::size_t field = 0; field < columns.size(); ++field) {
        texts[field] = name.substr(columns[field], field == 0 ? 4 : 2);
    }
    ShiftOutcome outcome = ShiftOutcome::shifted;
    timestamp::CORRECTDATE(std::span(texts[0]), std::span(texts[1]), std::span(texts[2]),
                           std::span(texts[3]), std::span(texts[4]), std::span(texts[5]),
                           correction, lowest, outcome);
    std::string shifted = name;
    for (std::size_t field = 0; field < columns.size(); ++field) {
        shifted.replace(columns[field], texts[field].size(), texts[field]);
    }
    fuzz_support::require(expected_shift(name, correction, lowest) == outcome,
                          "the outcome is the calendar's");
    fuzz_support::require(shifted == name,
                          "the texts are the calendar's shifted minute, or as they were");
    return 0;
}
