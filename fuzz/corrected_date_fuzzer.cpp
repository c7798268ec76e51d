// The shift of a file's timestamp over arbitrary 23-byte names and corrections, checked against
// the standard library's civil calendar (std::chrono), which agrees with the program's calendar
// on every year from 2000 to 2050.
//
// Input: the 23 bytes of a name, the correction (four bytes, least significant first) and one
// byte for the lowest year: below 128 the program's own 2009, otherwise a year from 2000 to 2050.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "fuzz_support.hpp"
#include "timestamp/corrected_date.hpp"
#include "timestamp/timestamp.hpp"

namespace {

using fuzz_support::require;
using timestamp::ShiftOutcome;
namespace chrono = std::chrono;

constexpr std::size_t name_width = 23;

// The value of one of the numerals "00" to "60", or nothing.
std::optional<int> numeral(const std::string& name, std::size_t column) {
    const char tens = name[column];
    const char units = name[column + 1];
    if (tens < '0' || tens > '9' || units < '0' || units > '9') {
        return std::nullopt;
    }
    const int value = (tens - '0') * 10 + (units - '0');
    return value <= 60 ? std::optional<int>(value) : std::nullopt;
}

std::string two_digits(long long value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

struct Expected {
    ShiftOutcome outcome = ShiftOutcome::not_a_calendar_minute;
    std::string name;  // the name with its shifted texts, or as it was
};

Expected expected_shift(const std::string& name, std::int32_t correction,
                        std::int32_t lowest_year) {
    Expected expected{ShiftOutcome::not_a_calendar_minute, name};
    const auto year = numeral(name, 2);
    const auto month = numeral(name, 5);
    const auto day = numeral(name, 8);
    const auto hour = numeral(name, 11);
    const auto minute = numeral(name, 14);
    if (!year || !month || !day || !hour || !minute || !numeral(name, 17)) {
        return expected;
    }
    const chrono::year_month_day date{chrono::year{2000 + *year},
                                      chrono::month{static_cast<unsigned>(*month)},
                                      chrono::day{static_cast<unsigned>(*day)}};
    if (2000 + *year < lowest_year || 2000 + *year > timestamp::last_year || !date.ok() ||
        *hour > 23 || *minute > 59) {
        return expected;
    }
    const chrono::sys_time<chrono::minutes> shifted =
        chrono::sys_days{date} + chrono::hours{*hour} +
        chrono::minutes{*minute + std::int64_t{correction}};
    const chrono::sys_time<chrono::minutes> first =
        chrono::sys_days{chrono::year{lowest_year} / 1 / 1};
    const chrono::sys_time<chrono::minutes> last =
        chrono::sys_days{chrono::year{timestamp::last_year} / 12 / 31} + chrono::hours{23} +
        chrono::minutes{59};
    if (shifted < first || shifted > last) {
        expected.outcome = ShiftOutcome::outside_calendar;
        return expected;
    }
    const chrono::sys_days shifted_day = chrono::floor<chrono::days>(shifted);
    const chrono::year_month_day shifted_date{shifted_day};
    const chrono::hh_mm_ss time_of_day{shifted - shifted_day};
    expected.outcome = ShiftOutcome::shifted;
    expected.name.replace(0, 4, "20" + two_digits(int{shifted_date.year()} - 2000));
    expected.name.replace(5, 2, two_digits(unsigned{shifted_date.month()}));
    expected.name.replace(8, 2, two_digits(unsigned{shifted_date.day()}));
    expected.name.replace(11, 2, two_digits(time_of_day.hours().count()));
    expected.name.replace(14, 2, two_digits(time_of_day.minutes().count()));
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::ByteReader bytes(data, size);
    std::string name(bytes.bytes(name_width));
    name.resize(name_width, ' ');
    const std::int32_t correction = bytes.int32();
    const std::uint8_t year_choice = bytes.byte();
    const std::int32_t lowest_year =
        year_choice < 128 ? timestamp::lowest_year : 2000 + year_choice % 51;

    // The texts as the renaming pass cuts them from the name, each in a buffer of its own.
    constexpr std::array<std::size_t, 6> columns{0, 5, 8, 11, 14, 17};
    std::array<std::array<char, 4>, 6> texts{};
    for (std::size_t field = 0; field < columns.size(); ++field) {
        name.copy(texts[field].data(), field == 0 ? 4 : 2, columns[field]);
    }
    const auto text = [&texts](std::size_t field) {
        return std::span<char>(texts[field].data(), field == 0 ? 4 : 2);
    };
    ShiftOutcome outcome = ShiftOutcome::shifted;
    timestamp::CORRECTDATE(text(0), text(1), text(2), text(3), text(4), text(5), correction,
                           lowest_year, outcome);
    std::string shifted = name;
    for (std::size_t field = 0; field < columns.size(); ++field) {
        shifted.replace(columns[field], text(field).size(), text(field).data(), text(field).size());
    }

    const Expected expected = expected_shift(name, correction, lowest_year);
    require(outcome == expected.outcome, "the outcome is the calendar's");
    require(shifted == expected.name, "the texts are the calendar's shifted minute, or unchanged");
    return 0;
}
