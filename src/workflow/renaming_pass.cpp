#include "workflow/renaming_pass.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "timestamp/corrected_date.hpp"
#include "workflow/dialogue_texts.hpp"
#include "workflow/renamer.hpp"

namespace workflow {
namespace {

using lineio::Channels;
using lineio::FixedText;

constexpr int burst_count = 40;

// "01" to "40": the burst number that stands in place of the seconds when a name is taken.
constexpr std::array<std::array<char, 2>, burst_count> make_burst_numerals() {
    std::array<std::array<char, 2>, burst_count> numerals{};
    for (int number = 1; number <= burst_count; ++number) {
        numerals[static_cast<std::size_t>(number - 1)] = {static_cast<char>('0' + number / 10),
                                                          static_cast<char>('0' + number % 10)};
    }
    return numerals;
}
constexpr auto burst_numerals = make_burst_numerals();

// A listed name cut into the texts of its date and time, where the shift rewrites them.
struct NameFields {
    FixedText<4> year;
    FixedText<2> month;
    FixedText<2> day;
    FixedText<2> hour;
    FixedText<2> minute;
    FixedText<2> second;
    std::string_view extension;  // the dot and the extension

    explicit NameFields(const FixedText<listed_name_width>& name)
        : year(name.view().substr(listed_name_column::year, 4)),
          month(name.view().substr(listed_name_column::month, 2)),
          day(name.view().substr(listed_name_column::day, 2)),
          hour(name.view().substr(listed_name_column::hour, 2)),
          minute(name.view().substr(listed_name_column::minute, 2)),
          second(name.view().substr(listed_name_column::second, 2)),
          extension(name.view().substr(listed_name_column::dot)) {}
};

std::string_view as_view(const std::array<char, 2>& text) {
    return {text.data(), text.size()};
}

// Tries the corrected name, then the burst numbers in turn; returns whether the file was renamed,
// and leaves the last path tried in `new_path`.
bool rename_to_corrected_name(Renamer& renamer, std::string_view folder, const NameFields& fields,
                              std::string_view old_path, FixedText<path_width>& new_path) {
    const auto try_name = [&](std::string_view seconds) {
        lineio::concatenate(
            new_path.span(),
            {folder, "/", fields.year.view(), " ", fields.month.view(), " ", fields.day.view(), " ",
             fields.hour.view(), " ", fields.minute.view(), " ", seconds, fields.extension});
        return renamer.rename(old_path, new_path.trimmed_view()) == 0;
    };
    if (try_name(fields.second.view())) {
        return true;
    }
    return std::any_of(burst_numerals.begin(), burst_numerals.end(),
                       [&](const auto& numeral) { return try_name(as_view(numeral)); });
}

}  // namespace

void run_renaming_pass(Channels& channels, const RenamingJob& job, Renamer& renamer,
                       std::int32_t& renamed_count) {
    renamer.start(job);

    channels.open(listing_channel, texts::listing_file);
    renamed_count = 0;
    const std::string_view folder =
        job.folder_name.view().substr(0, static_cast<std::size_t>(job.folder_length));
    FixedText<listed_name_width> listed_name;
    bool longer_name = false;
    std::string name_now;
    std::string failure_note;
    while (channels.field_input(listing_channel, listed_name_width, listed_name.span(),
                                &longer_name) != lineio::end_of_file) {
        channels.formatted_line(lineio::console_output, file_name_layout(),
                                {std::string_view("File name = "), listed_name.view()});

        FixedText<path_width> old_path;
        lineio::concatenate(old_path.span(), {folder, "/", listed_name.view()});

        NameFields fields(listed_name);
        timestamp::ShiftOutcome shift = timestamp::ShiftOutcome::not_a_calendar_minute;
        timestamp::CORRECTDATE(fields.year.span(), fields.month.span(), fields.day.span(),
                               fields.hour.span(), fields.minute.span(), fields.second.span(),
                               job.correction, job.lowest_year, shift);

        // A longer listed name is not the file its first 23 columns name, and a timestamp that is
        // no minute of the calendar, or leaves it, has no corrected name: such a file is left as it
        // is.
        const bool can_rename = shift == timestamp::ShiftOutcome::shifted && !longer_name;
        const std::string_view old_name = old_path.trimmed_view();
        FixedText<path_width> new_path;
        std::string_view outcome_path = old_name;
        bool renamed = false;
        if (can_rename && channels.renamed_earlier(old_name, name_now)) {
            // A name of a clip renamed earlier in this run: the clip keeps the name it got, under
            // which the line says it was renamed, that being where the user finds it. It is not
            // counted again, the count being one of files.
            renamed = !name_now.empty();
            outcome_path = renamed ? std::string_view(name_now) : old_name;
        } else if (can_rename &&
                   rename_to_corrected_name(renamer, folder, fields, old_name, new_path)) {
            renamed = true;
            outcome_path = new_path.trimmed_view();
            ++renamed_count;
        }
        if (outcome_path != old_name) {
            // Should the report fail to take the line, the diagnostic still tells the rename.
            failure_note.assign("The clip \"")
                .append(old_name)
                .append("\" was renamed to \"")
                .append(outcome_path)
                .append("\", but the report could not record it.");
            channels.note_for_failure(report_channel, failure_note);
        }
        renamer.outcome(renamed, outcome_path);
        channels.note_for_failure(report_channel, {});
    }
    channels.close(listing_channel);
    renamer.finish(renamed_count);
}

}  // namespace workflow
