#include "workflow/renamer.hpp"

#include <algorithm>
#include <array>

#include "lineio/fixed_text.hpp"
#include "workflow/report.hpp"

namespace workflow {
namespace {


// Whether the newest journal here records a run on `folder` with the same correction whose
// clips all still bear the names it gave: the same answers again would shift them twice.
bool same_run_done(const std::string& folder_typed, std::int32_t correction,
                   const RunFolder& folder, std::string& journal_name) {
    journal_name = newest_journal();
    platform::File file;
    if (journal_name.empty() || file.open_to_read(journal_name) != 0) {
        return false;
    }
    std::string text;
    std::array<char, 65536> buffer{};
    std::size_t count = 0;
    while (file.read(buffer.data(), buffer.size(), count) == 0 && count > 0) {
        text.append(buffer.data(), count);
    }
    Journal journal;
    if (!read_journal(text, journal).refused.empty() || journal.legacy || journal.clips.empty() ||
        journal.head.folder != folder_typed || journal.head.correction != correction ||
        folder.open_error != 0) {
        return false;
    }
    return std::all_of(journal.clips.begin(), journal.clips.end(), [&](const JournalClip& clip) {
        bool there = false;
        const std::string& given = clip.renamed_as.empty() ? clip.new_name : clip.renamed_as;
        return folder.folder.exists(given, there) == 0 && there;
    });
}

}  // namespace

void RealRun::start(const RenamingJob& job, const RunFolder& folder) {
    const std::string folder_typed(
        job.folder_name.view().substr(0, static_cast<std::size_t>(job.folder_length)));
    std::string journal_name;
    if (channels_.person_at_console() &&
        same_run_done(folder_typed, job.correction, folder, journal_name)) {
        for (const std::string& line : std::array<std::string, 4>{
                 " This folder was shifted by the same number of minutes before, and its clips",
                 " still bear the names that run gave them (see " + journal_name + ").",
                 " Shifting again moves every clip a second time.", " Shift them again? Y/N"}) {
            channels_.text_line(lineio::console_output, line);
        }
        lineio::FixedText<1> answer;
        channels_.field_input(lineio::console_input, 1, answer.span());
        if (answer.chars[0] != 'Y' && answer.chars[0] != 'y') {
            channels_.orderly_stop();
        }
    }
    channels_.open(report_channel, report_file, lineio::FileRole::report);
    write_report_head(channels_, report_channel, job.camera, job.actual, job.correction);
    journal_.start({folder_typed, folder.number, job.correction, folder.identity_kind});
    folder_.emplace(folder.folder, [this](const std::string& from, const std::string& to) {
        journal_.claim(from, to);  // ends the program when the journal cannot take the line
        return 0;
    });
}

void RealRun::before_batch(std::span<const JournalClip> clips) {
    journal_.write_ahead(clips);
}

void RealRun::renamed(const std::string& old_name, const std::string& new_name,
                      const std::string& planned) {
    journal_.renamed(old_name, new_name, planned);
}

void RealRun::removed(const std::string& old_name) {
    journal_.removed(old_name);
}

void RealRun::outcome(bool renamed, std::string_view path) {
    write_outcome(channels_, report_channel, renamed, path);
}

void RealRun::finish(std::int32_t renamed_count) {
    journal_.close(renamed_count);
    write_summary(channels_, report_channel, renamed_count);
    write_summary(channels_, lineio::console_output, renamed_count);
    channels_.close(report_channel);
    if (channels_.output_to_person() && !journal_.name().empty()) {
        // Said to a person only: piped or scripted output stays as it always was.
        channels_.text_line(lineio::console_output,
                            " To take this run back: " + program_ + " --undo " + journal_.name());
    }
}

void DryRun::start(const RenamingJob& /*job*/, const RunFolder& folder) {
    channels_.text_line(lineio::console_output,
                        " Dry run: the names a real run would give; nothing is renamed", 1);
    picture_.emplace(folder.folder, !folder.any_name.empty() &&
                                        folder_ignores_case(folder.folder, folder.any_name));
}

void DryRun::outcome(bool renamed, std::string_view path) {
    std::string line(renamed ? " Dry run: would be renamed " : " Dry run: could not be renamed ");
    channels_.text_line(lineio::console_output, line.append(path), 1);
}

void DryRun::finish(std::int32_t renamed_count) {
    constexpr std::string_view summary = " files would be renamed; nothing was renamed (dry run)";
    const lineio::LineLayout layout{lineio::IntegerField{6},
                                    lineio::TextField{static_cast<int>(summary.size())}};
    channels_.formatted_line(lineio::console_output, layout, {renamed_count, summary});
}

}  // namespace workflow
