#include "workflow/renamer.hpp"

#include <cerrno>

#include "lineio/fixed_text.hpp"
#include "lineio/platform.hpp"
#include "workflow/report.hpp"

namespace workflow {
namespace {

// A line of exactly `text`, and an empty line after it when asked.
void exact_line(lineio::Channels& channels, std::string_view text, bool empty_line_after) {
    const lineio::LineLayout layout{lineio::TextField{static_cast<int>(text.size())}};
    const std::array<lineio::Item, 1> items{text};
    if (empty_line_after) {
        channels.formatted_line_and_empty_line(lineio::console_output, layout, items);
    } else {
        channels.formatted_line(lineio::console_output, layout, items);
    }
}

}  // namespace

void RealRun::start(const RenamingJob& job) {
    channels_.open(report_channel, report_file);
    write_report_head(channels_, report_channel, job.camera, job.actual, job.correction);
}

int RealRun::rename(std::string_view old_path, std::string_view new_path) {
    // The journal holds the rename before it is tried, so that a run killed at any moment leaves
    // a journal of every rename it made.
    journal_.write_ahead(lineio::trimmed(old_path), lineio::trimmed(new_path));
    const int result = channels_.rename_file(old_path, new_path);
    journal_.settle(result == 0);
    return result;
}

void RealRun::outcome(bool renamed, std::string_view path) {
    write_outcome(channels_, report_channel, renamed, path);
}

void RealRun::finish(std::int32_t renamed_count) {
    journal_.close();
    write_summary(channels_, report_channel, renamed_count);
    write_summary(channels_, lineio::console_output, renamed_count);
    channels_.close(report_channel);
}

void DryRun::start(const RenamingJob& /*job*/) {
    exact_line(channels_, " Dry run: the names a real run would give; nothing is renamed", true);
}

bool DryRun::taken(const std::string& name) {
    if (const auto found = changed_.find(name); found != changed_.end()) {
        return found->second;
    }
    bool exists = false;
    if (const int error = lineio::platform::name_exists(name, exists); error != 0) {
        channels_.fail_at("dry run", -1, lineio::platform::describe_error(error),
                          "the name \"" + name + "\"");
    }
    return exists;
}

int DryRun::rename(std::string_view old_path, std::string_view new_path) {
    // As the real rename: a file that already bears its name keeps it, a taken name is refused,
    // and a file that is not there cannot be renamed.
    const std::string from(lineio::trimmed(old_path));
    const std::string to(lineio::trimmed(new_path));
    if (!taken(from)) {
        return ENOENT;
    }
    if (from == to) {
        return 0;
    }
    if (taken(to)) {
        return EEXIST;
    }
    changed_[from] = false;
    changed_[to] = true;
    return 0;
}

void DryRun::outcome(bool renamed, std::string_view path) {
    std::string line(renamed ? " Dry run: would be renamed " : " Dry run: could not be renamed ");
    exact_line(channels_, line.append(path), true);
}

void DryRun::finish(std::int32_t renamed_count) {
    constexpr std::string_view summary = " files would be renamed; nothing was renamed (dry run)";
    const lineio::LineLayout layout{lineio::IntegerField{6},
                                    lineio::TextField{static_cast<int>(summary.size())}};
    channels_.formatted_line(lineio::console_output, layout, {renamed_count, summary});
}

}  // namespace workflow
