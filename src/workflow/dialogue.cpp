#include "workflow/dialogue.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "lineio/fixed_text.hpp"
#include "lineio/unicode_text.hpp"
#include "platform/platform.hpp"
#include "timestamp/check.hpp"
#include "timestamp/correction.hpp"
#include "timestamp/timestamp.hpp"
#include "workflow/dates_question.hpp"
#include "workflow/dialogue_texts.hpp"
#include "workflow/journal.hpp"
#include "workflow/layouts.hpp"
#include "workflow/renamer.hpp"
#include "workflow/renaming_pass.hpp"
#include "workflow/repeat_check.hpp"

namespace workflow {
namespace {

using lineio::Channels;
using lineio::console_input;
using lineio::console_output;
using lineio::FixedText;

constexpr int type_check_channel = 10;

// A text shown in a formatted text field, padded with blanks to the field's width.
void text_line(Channels& channels, int width, std::string_view text) {
    FixedText<76> padded;
    lineio::fixed_copy(std::span<char>(padded.chars.data(), static_cast<std::size_t>(width)), text);
    const lineio::Item item{std::string_view(padded.chars.data(), static_cast<std::size_t>(width))};
    channels.formatted_line(console_output, text_layout(width), {item});
}

[[noreturn]] void pause_and_stop(Channels& channels) {
    channels.list_line(console_output, {texts::pause_prompt});
    channels.wait_for_enter(console_input);
    channels.orderly_stop();
}

// The extension a listed name holds in its columns 21 to 23, a character to a column.
std::string_view listed_extension(std::string_view name) {
    return lineio::unicode::columns(name, listed_name_column::extension, extension_width);
}

// The accepted extensions end in no blank, so an extension filled out with blanks is one of them
// once its trailing blanks are gone.
bool is_video_extension(std::string_view extension) {
    return std::find(texts::video_extensions.begin(), texts::video_extensions.end(),
                     lineio::trimmed(extension)) != texts::video_extensions.end();
}

// The program's own files, which stop the run when it is started inside the clip folder.
bool is_own_file(std::string_view name) {
    return name == texts::listing_file || name == report_file ||
           (name.starts_with(journal_name_start) && name.ends_with(".txt"));
}

// Tells on the error stream which entries stopped the run and what to do, so that a person need
// not hunt for them: the first few, each with the extension that was read.
void name_refused_entries(Channels& channels, const std::vector<std::string>& refused,
                          long long more, bool own_file) {
    channels.error_line(
        "These entries of the folder are not video clips (avi, mp4, m4v), so "
        "nothing was renamed:");
    for (const std::string& name : refused) {
        // A name that ends before column 21 has no extension to show; a shorter one shows blanks.
        std::string extension(listed_extension(name));
        if (extension.empty()) {
            channels.error_line("  " + lineio::printable(name) + "   (not named like a clip)");
            continue;
        }
        extension.append(extension_width - lineio::unicode::character_count(extension),
                         lineio::blank);
        channels.error_line("  " + lineio::printable(name) + "   (extension \"" +
                            lineio::printable(extension) + "\")");
    }
    if (more > 0) {
        channels.error_line("  and " + std::to_string(more) + " more");
    }
    channels.error_line(own_file ? "The folder holds this program's own files: start the program "
                                   "in the folder that holds the clip folder instead."
                                 : "Move them out of the folder, then start the program again.");
}

// Reads the listing once, so that nothing is renamed unless every entry is a video file.
void check_listed_types(Channels& channels, const std::string* listing_in_memory) {
    constexpr std::size_t most_named = 5;
    channels.open(type_check_channel, texts::listing_file, lineio::FileRole::other,
                  listing_in_memory);
    // Wide enough for any name a folder holds, so that a refused entry is named whole; the
    // check itself looks at the first columns only, as the renaming pass does.
    constexpr int longest_name = 1024;
    std::vector<std::string> refused;
    long long more = 0;
    bool own_file = false;
    std::string_view field;
    while (channels.field_view(type_check_channel, longest_name, field) != lineio::end_of_file) {
        const std::string_view name =
            field.substr(0, lineio::unicode::bytes_of_whole_characters(field, longest_name));
        if (!is_video_extension(listed_extension(name))) {
            if (refused.size() < most_named) {
                refused.emplace_back(lineio::trimmed(name));
            } else {
                ++more;
            }
            own_file = own_file || is_own_file(lineio::trimmed(name));
        }
    }
    if (!refused.empty()) {
        channels.list_line(console_output, {texts::wrong_type});
        name_refused_entries(channels, refused, more, own_file);
        pause_and_stop(channels);
    }
    channels.close(type_check_channel);
}

// The folder an answer names: without its trailing blanks and, where no name can hold a double
// quote, without one pair of them around it.
std::string_view folder_named_by(std::string_view answer) {
    answer = lineio::trimmed(answer);
    if (!platform::names_may_hold_double_quotes && answer.size() >= 2 && answer.starts_with('"') &&
        answer.ends_with('"')) {
        answer = lineio::trimmed(answer.substr(1, answer.size() - 2));
    }
    return answer;
}

// Asks for a date and time. A person who typed it another way (2025-11-21 15:30) is told why and
// asked again; a script's answer is read by the grammar alone, as it always was.
// A whole path, typed or pasted at a terminal (in quotes, as Explorer's "Copy as path" and a
// Linux file manager's drop give it), is taken as a dropped folder is: the program moves to the
// folder that holds it and returns its name there, so that the name fits the folder field and the
// report and journal land beside the folder. Anything else is left to the folder question's rules.
std::optional<std::string> enter_folder_of_path(std::string_view answer) {
    const auto names_folder = [](const std::string& path) {
        platform::Folder folder;
        return folder.open(path, true) == 0;
    };
    std::string path(answer);
    if (path.size() >= 2 && (path.front() == '"' || path.front() == '\'') &&
        path.back() == path.front() && !names_folder(path)) {
        path = path.substr(1, path.size() - 2);
    }
    std::string name;
    if (path.find_first_of(platform::path_separators) == std::string::npos || !names_folder(path) ||
        platform::enter_parent_folder(path, name) != 0 || name.empty()) {
        return std::nullopt;
    }
    return name;
}

void read_timestamp(Channels& channels, std::string_view prompt, std::string_view example,
                    timestamp::Timestamp& entered) {
    const std::array<std::int32_t*, 6> fields{&entered.year, &entered.month,  &entered.day,
                                              &entered.hour, &entered.minute, &entered.second};
    for (;;) {
        text_line(channels, 75, prompt);
        text_line(channels, 75, example);
        text_line(channels, 75, texts::timestamp_form);
        if (!channels.person_at_console()) {
            channels.integer_input(console_input, fields);
            return;
        }
        if (channels.typed_integer_input(console_input, fields)) {
            return;
        }
    }
}

void check_timestamp(Channels& channels, const std::int32_t& lowest_year,
                     const timestamp::Timestamp& entered) {
    timestamp::CHECK(channels, lowest_year, entered.year, entered.month, entered.day, entered.hour,
                     entered.minute, entered.second);
    channels.empty_line(console_output);
}

}  // namespace

void run_main_dialogue(Channels& channels, Renamer& renamer, std::string_view program,
                       const std::optional<std::string>& folder_answer) {
    const std::int32_t lowest_year = timestamp::lowest_year;

    text_line(channels, 76, "");
    text_line(channels, 76, texts::banner_title);
    channels.empty_line(console_output);
    text_line(channels, 76, texts::question);
    text_line(channels, 76, texts::question_choices);

    FixedText<1> answer;
    channels.field_input(console_input, 1, answer.span());
    if (answer.chars[0] == 'N' || answer.chars[0] == 'n') {
        // The one text held at less than its field's width: it comes out right-aligned.
        channels.formatted_line(console_output, text_layout(76), {texts::no_answer});
        pause_and_stop(channels);
    }

    text_line(channels, 76, texts::folder_prompt);
    text_line(channels, 76, texts::folder_rule);
    text_line(channels, 76, texts::folder_example);
    std::string answer_line;
    if (folder_answer) {
        answer_line = *folder_answer;
        const lineio::LineLayout layout{lineio::TextField{static_cast<int>(answer_line.size())}};
        channels.formatted_line(console_output, layout, {std::string_view(answer_line)});
    } else {
        channels.line_input(console_input, answer_line);
    }
    std::string_view folder = folder_named_by(answer_line);
    std::optional<std::string> folder_of_path;
    if (!folder_answer && channels.person_at_console()) {
        folder_of_path = enter_folder_of_path(folder);
        folder = folder_of_path ? std::string_view(*folder_of_path) : folder;
    }
    // A dropped folder's name is taken whole or not at all: without its trailing blanks, or with
    // a line break in it, it could name another folder.
    const bool changed_by_reading =
        folder_answer &&
        (folder != answer_line || answer_line.find_first_of("\r\n") != std::string::npos);
    const std::size_t characters = lineio::unicode::character_count(folder);
    if (changed_by_reading || characters > folder_input_width) {
        text_line(channels, 56, texts::listing_failure);
        if (!changed_by_reading) {
            channels.error_line("The folder name has " + std::to_string(characters) +
                                " characters; " + std::to_string(folder_input_width) +
                                " is the most the program takes.");
        }
        pause_and_stop(channels);
    }
    const FixedText<folder_name_width> folder_name(folder);
    const auto folder_length = static_cast<std::int32_t>(folder.size());

    FixedText<command_line_width> command_line;
    lineio::concatenate(command_line.span(),
                        {texts::list_command_start,
                         folder_name.view().substr(0, static_cast<std::size_t>(folder_length)),
                         texts::list_command_end});
    lineio::FolderListing listing;
    const int command_status =
        channels.run_command_line(command_line.view(), &listing, renamer.listing_in_memory());
    if (command_status == 1) {
        text_line(channels, 56, texts::listing_failure);
        pause_and_stop(channels);
    }
    ListedFiles listed_files(std::move(listing));

    check_listed_types(channels, renamer.listing_in_memory());
    channels.empty_line(console_output);

    timestamp::Timestamp camera;
    read_timestamp(channels, texts::camera_prompt, texts::camera_example, camera);
    check_timestamp(channels, lowest_year, camera);
    timestamp::Timestamp actual;
    read_timestamp(channels, texts::actual_prompt, texts::actual_example, actual);
    check_timestamp(channels, lowest_year, actual);

    std::int32_t correction = 0;
    timestamp::CORRECTIONAMOUNT(channels, camera.year, camera.month, camera.day, camera.hour,
                                camera.minute, camera.second, actual.year, actual.month, actual.day,
                                actual.hour, actual.minute, actual.second, correction, lowest_year);

    std::unordered_set<std::string> already_shifted;
    if (renamer.changes_names() && channels.person_at_console()) {
        ask_before_shifting_again(channels, folder, correction, program, already_shifted);
    }
    if (channels.person_at_console()) {
        ask_about_dates(channels, renamer, folder, listed_files.any_name(), correction);
    }
    run_renaming_pass(channels,
                      RenamingJob{folder_name, folder_length, camera, actual, correction,
                                  lowest_year, listed_files, already_shifted},
                      renamer);

    lineio::fixed_copy(command_line.span(), texts::delete_listing_command);
    channels.run_command_line(command_line.view(), nullptr, renamer.listing_in_memory());

    channels.list_line(console_output, {texts::closing_prompt});
    channels.wait_for_enter(console_input);
    channels.orderly_stop();
}

}  // namespace workflow
