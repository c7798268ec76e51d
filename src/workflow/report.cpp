#include "workflow/report.hpp"

#include <array>

#include "lineio/fixed_text.hpp"
#include "workflow/dialogue_texts.hpp"
#include "workflow/layouts.hpp"

namespace workflow {
namespace {

constexpr std::string_view renamed_message = "Successfully renamed ";
constexpr std::string_view not_renamed_message = "Could not rename ";
constexpr std::string_view correction_message = "Minutes to correct = ";

void write_timestamp(lineio::Channels& channels, int report, const timestamp::Timestamp& value) {
    channels.formatted_line(
        report, report_timestamp_layout(),
        {value.year, value.month, value.day, value.hour, value.minute, value.second});
}

// The message, then the path one character a field, as many fields as the path has characters.
void write_outcome_line(lineio::Channels& channels, int channel, bool leading_blank,
                        std::string_view message, std::string_view path) {
    std::array<lineio::Item, 1 + path_width> items;
    items[0] = message;
    const std::string_view whole =
        lineio::trimmed(path.substr(0, std::min(path.size(), path_width)));
    for (std::size_t i = 0; i < whole.size(); ++i) {
        items[i + 1] = whole.substr(i, 1);
    }
    const auto width = static_cast<int>(message.size());
    channels.formatted_line(channel, outcome_layout(width, leading_blank),
                            std::span<const lineio::Item>(items.data(), 1 + whole.size()));
}

}  // namespace

void write_report_head(lineio::Channels& channels, int report, const timestamp::Timestamp& camera,
                       const timestamp::Timestamp& actual, std::int32_t correction) {
    write_timestamp(channels, report, camera);
    write_timestamp(channels, report, actual);
    channels.formatted_line(report, report_correction_layout(), {correction_message, correction});
    channels.empty_line(report);
}

void write_outcome(lineio::Channels& channels, int report, bool renamed, std::string_view path) {
    const std::string_view message = renamed ? renamed_message : not_renamed_message;
    write_outcome_line(channels, report, false, message, path);
    channels.empty_line(report);
    write_outcome_line(channels, lineio::console_output, true, message, path);
    channels.empty_line(lineio::console_output);
}

void write_summary(lineio::Channels& channels, int channel, std::int32_t renamed_count) {
    channels.formatted_line(channel, summary_layout(), {renamed_count, texts::summary});
}

}  // namespace workflow
