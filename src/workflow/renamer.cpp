#include "workflow/renamer.hpp"

#include "workflow/options.hpp"
#include "workflow/report.hpp"

namespace workflow {

void RealRun::start(const RenamingJob& job, const FolderFacts& folder) {
    channels_.open(report_channel, report_file, lineio::FileRole::report);
    write_report_head(channels_, report_channel, job.camera, job.actual, job.correction);
    journal_.start(
        {std::string(job.folder()), folder.number, job.correction, folder.identity_kind});
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

void RealRun::outcome(bool renamed, std::string_view path, std::string_view old_path,
                      std::string_view dates_line) {
    // One write of the report a clip, its dates line with it. Should the report fail to take the
    // line, the diagnostic still tells the rename.
    if (renamed) {
        write_outcome(channels_, report_channel, renamed, path,
                      {"The clip \"", old_path, "\" was renamed to \"", path,
                       "\", but the report could not record it."},
                      dates_line);
    } else {
        write_outcome(channels_, report_channel, renamed, path, {}, dates_line);
    }
}

void RealRun::finish(std::int32_t renamed_count) {
    journal_.close(renamed_count);
    write_summary(channels_, report_channel, renamed_count);
    write_summary(channels_, lineio::console_output, renamed_count);
    if (corrects_dates()) {
        write_dates_summary(channels_, report_channel, dates_corrected_, dates_left_, "were");
        write_dates_summary(channels_, lineio::console_output, dates_corrected_, dates_left_,
                            "were");
    }
    channels_.close(report_channel);
    if (channels_.output_to_person() && !journal_.name().empty()) {
        // Said to a person only: piped or scripted output stays as it always was.
        channels_.text_line(
            lineio::console_output,
            " To take this run back: " + undo_command(program_, journal_in_full(journal_.name())));
    }
}

void DryRun::start(const RenamingJob& /*job*/, const FolderFacts& folder) {
    channels_.text_line(lineio::console_output,
                        " Dry run: the names a real run would give; nothing is renamed", 1);
    picture_.take_case_as(!folder.any_name.empty() &&
                          folder_ignores_case(folder_, folder.any_name));
}

void DryRun::outcome(bool renamed, std::string_view path, std::string_view /*old_path*/,
                     std::string_view dates_line) {
    std::string line(renamed ? " Dry run: would be renamed " : " Dry run: could not be renamed ");
    channels_.text_line(lineio::console_output, line.append(path), 1);
    if (!dates_line.empty()) {
        channels_.text_line(lineio::console_output, dates_line, 1);
    }
}

void DryRun::finish(std::int32_t renamed_count) {
    constexpr std::string_view summary = " files would be renamed; nothing was renamed (dry run)";
    const lineio::LineLayout layout{lineio::IntegerField{6},
                                    lineio::TextField{static_cast<int>(summary.size())}};
    channels_.formatted_line(lineio::console_output, layout, {renamed_count, summary});
    if (corrects_dates()) {
        write_dates_summary(channels_, lineio::console_output, dates_corrected_, dates_left_,
                            "would be");
    }
}

}  // namespace workflow
