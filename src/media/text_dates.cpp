#include "media/text_dates.hpp"

#include <array>

namespace media {
namespace {

constexpr std::array<std::string_view, 7> weekday_names = {"Sun", "Mon", "Tue", "Wed",
                                                           "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 12> month_names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::int64_t seconds_per_day = 86400;

// The `count` digits at `at`, or -1 when they are not all digits (or run past the text).
std::int64_t digits_at(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return -1;
    }
    std::int64_t value = 0;
    for (const char c : text.substr(at, count)) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

void put_digits(std::string& text, std::size_t at, std::size_t count, std::int64_t value) {
    for (std::size_t i = count; i-- > 0; value /= 10) {
        text[at + i] = static_cast<char>('0' + value % 10);
    }
}

bool names_time(const CivilTime& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= days_in_month(t.year, t.month) &&
           t.hour < 24 && t.minute < 60 && t.second < 60;
}

// True when `rest` is what may follow the seconds: a fraction, then "Z", "+0100", "-01:00" or
// nothing.
bool is_iso_tail(std::string_view rest) {
    std::size_t at = 0;
    if (!rest.empty() && rest[0] == '.') {
        at = rest.find_first_not_of("0123456789", 1);
        at = at == std::string_view::npos ? rest.size() : at;
        if (at == 1) {
            return false;
        }
    }
    const std::string_view zone = rest.substr(at);
    if (zone.empty() || zone == "Z") {
        return true;
    }
    const bool colon = zone.size() == 6 && zone[3] == ':';
    return (zone[0] == '+' || zone[0] == '-') && (zone.size() == 5 || colon) &&
           digits_at(zone, 1, 2) >= 0 && digits_at(zone, colon ? 4 : 3, 2) >= 0;
}

// The shifted time, or nothing when its year has no four digits.
std::optional<CivilTime> shifted(const CivilTime& time, std::int64_t shift_seconds) {
    const CivilTime moved = civil_from_seconds(seconds_from_civil(time) + shift_seconds);
    if (moved.year < 0 || moved.year > 9999) {
        return std::nullopt;
    }
    return moved;
}

constexpr const char* unknown_form = "not a date in a form the program knows";
constexpr const char* four_digits = "the corrected year would not have four digits";

}  // namespace

ShiftedText shift_iso_text(std::string_view text, std::int64_t shift_seconds) {
    // Some writers end the text with zeros, as a C string: they stay where they are.
    const std::size_t length = text.find_last_not_of('\0') + 1;  // 0 when there is no other
    if (length < text.size()) {
        ShiftedText shifted = shift_iso_text(text.substr(0, length), shift_seconds);
        shifted.text.append(text.substr(length));
        return shifted;
    }
    CivilTime time{digits_at(text, 0, 4), 1, 1, 0, 0, 0};
    if (time.year >= 0 && text.size() == 4) {
        return {std::string(text), "a year alone, which a correction cannot move"};
    }
    const bool has_time = text.size() > 10;
    if (time.year < 0 || text.size() < 10 || text[4] != '-' || text[7] != '-' ||
        (has_time && (text.size() < 19 || (text[10] != 'T' && text[10] != ' ') || text[13] != ':' ||
                      text[16] != ':' || !is_iso_tail(text.substr(19))))) {
        return {std::string(text), unknown_form};
    }
    time.month = static_cast<std::int32_t>(digits_at(text, 5, 2));
    time.day = static_cast<std::int32_t>(digits_at(text, 8, 2));
    if (has_time) {
        time.hour = static_cast<std::int32_t>(digits_at(text, 11, 2));
        time.minute = static_cast<std::int32_t>(digits_at(text, 14, 2));
        time.second = static_cast<std::int32_t>(digits_at(text, 17, 2));
    }
    if (time.hour < 0 || time.minute < 0 || time.second < 0 || !names_time(time)) {
        return {std::string(text), unknown_form};
    }
    if (!has_time && shift_seconds % seconds_per_day != 0) {
        return {std::string(text), "a date without a time, and the correction is not whole days"};
    }
    const std::optional<CivilTime> moved = shifted(time, shift_seconds);
    if (!moved) {
        return {std::string(text), four_digits};
    }
    std::string out(text);
    put_digits(out, 0, 4, moved->year);
    put_digits(out, 5, 2, moved->month);
    put_digits(out, 8, 2, moved->day);
    if (has_time) {
        put_digits(out, 11, 2, moved->hour);
        put_digits(out, 14, 2, moved->minute);
        put_digits(out, 17, 2, moved->second);
    }
    return {out, ""};
}

std::optional<CivilTime> read_ctime_text(std::string_view text) {
    if (text.size() != 24 || text[3] != ' ' || text[7] != ' ' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':' || text[19] != ' ') {
        return std::nullopt;
    }
    std::size_t weekday = 0;
    while (weekday < weekday_names.size() && weekday_names[weekday] != text.substr(0, 3)) {
        ++weekday;
    }
    std::size_t month = 0;
    while (month < month_names.size() && month_names[month] != text.substr(4, 3)) {
        ++month;
    }
    const std::int64_t day = text[8] == ' ' ? digits_at(text, 9, 1) : digits_at(text, 8, 2);
    const CivilTime time{digits_at(text, 20, 4),
                         static_cast<std::int32_t>(month + 1),
                         static_cast<std::int32_t>(day),
                         static_cast<std::int32_t>(digits_at(text, 11, 2)),
                         static_cast<std::int32_t>(digits_at(text, 14, 2)),
                         static_cast<std::int32_t>(digits_at(text, 17, 2))};
    if (weekday == weekday_names.size() || time.year < 0 || time.hour < 0 || time.minute < 0 ||
        time.second < 0 || !names_time(time)) {
        return std::nullopt;
    }
    return time;
}

ShiftedText shift_ctime_text(std::string_view text, std::int64_t shift_seconds) {
    const std::optional<CivilTime> time = read_ctime_text(text);
    if (!time) {
        return {std::string(text), "not a date in the form \"Mon Mar 10 15:04:43 2003\""};
    }
    const std::optional<CivilTime> moved = shifted(*time, shift_seconds);
    if (!moved) {
        return {std::string(text), four_digits};
    }
    std::string out(text);
    out.replace(0, 3,
                weekday_names[weekday_of(days_from_civil(moved->year, moved->month, moved->day))]);
    out.replace(4, 3, month_names[moved->month - 1]);
    put_digits(out, 8, 2, moved->day);
    if (text[8] != '0' && moved->day < 10) {
        out[8] = ' ';
    }
    put_digits(out, 11, 2, moved->hour);
    put_digits(out, 14, 2, moved->minute);
    put_digits(out, 17, 2, moved->second);
    put_digits(out, 20, 4, moved->year);
    return {out, ""};
}

}  // namespace media
