#include "workflow/clip_name.hpp"

#include "lineio/fixed_text.hpp"
#include "timestamp/corrected_date.hpp"
#include "timestamp/timestamp.hpp"
#include "workflow/layouts.hpp"

namespace workflow {
namespace {

using lineio::FixedText;

// A listed name cut into the texts of its date and time, where the shift rewrites them.
struct NameFields {
    FixedText<4> year;
    FixedText<2> month;
    FixedText<2> day;
    FixedText<2> hour;
    FixedText<2> minute;
    FixedText<2> second;

    explicit NameFields(std::string_view name)
        : year(name.substr(listed_name_column::year, 4)),
          month(name.substr(listed_name_column::month, 2)),
          day(name.substr(listed_name_column::day, 2)),
          hour(name.substr(listed_name_column::hour, 2)),
          minute(name.substr(listed_name_column::minute, 2)),
          second(name.substr(listed_name_column::second, 2)) {}
};

}  // namespace

std::optional<std::string> corrected_name(std::string_view name, std::int32_t correction) {
    const FixedText<listed_name_width> listed(name);
    NameFields fields(listed.view());
    timestamp::ShiftOutcome shift = timestamp::ShiftOutcome::not_a_calendar_minute;
    const std::int32_t lowest_year = timestamp::lowest_year;
    timestamp::CORRECTDATE(fields.year.span(), fields.month.span(), fields.day.span(),
                           fields.hour.span(), fields.minute.span(), fields.second.span(),
                           correction, lowest_year, shift);
    if (shift != timestamp::ShiftOutcome::shifted) {
        return std::nullopt;
    }
    FixedText<listed_name_width> corrected;
    lineio::concatenate(corrected.span(),
                        {fields.year.view(), " ", fields.month.view(), " ", fields.day.view(), " ",
                         fields.hour.view(), " ", fields.minute.view(), " ", fields.second.view(),
                         listed.view().substr(listed_name_column::dot)});
    return std::string(corrected.trimmed_view());
}

std::string burst_variant(std::string_view name, int number) {
    std::string variant(name);
    if (variant.size() >= listed_name_column::second + 2) {
        variant[listed_name_column::second] = static_cast<char>('0' + number / 10);
        variant[listed_name_column::second + 1] = static_cast<char>('0' + number % 10);
    }
    return variant;
}

bool is_name_or_variant(std::string_view name, std::string_view candidate) {
    if (candidate == name) {
        return true;
    }
    for (int number = 1; number <= burst_count; ++number) {
        if (candidate == burst_variant(name, number)) {
            return true;
        }
    }
    return false;
}

}  // namespace workflow
