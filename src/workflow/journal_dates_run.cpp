#include "workflow/journal_dates_run.hpp"

#include <algorithm>
#include <optional>
#include <span>
#include <unordered_set>
#include <vector>

#include "workflow/clip_dates_run.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/dates_question.hpp"
#include "workflow/options.hpp"
#include "workflow/repeat_check.hpp"
#include "workflow/report.hpp"
#include "workflow/undo.hpp"
#include "workflow/yes_no.hpp"

namespace workflow {
namespace {

// A clip of the earlier run whose dates are to be corrected.
struct Candidate {
    const JournalClip* clip = nullptr;
    std::string name;     // the name that run gave it
    std::string planned;  // the corrected name it planned, which holds the old name's seconds
};

// The clips the run renamed whose dates it left, each name once: a clip corrected twice would
// have its file time shifted twice.
std::vector<Candidate> candidates_of(const Journal& journal) {
    std::vector<Candidate> found;
    std::unordered_set<std::string> names;
    for (const JournalClip& clip : journal.clips) {
        const std::string& name = clip.name_given();
        // 1.1.0 journaled the name taken, which may hold a burst number in place of the seconds.
        const std::optional<std::string> planned =
            journal.legacy ? corrected_name(clip.old_name, journal.head.correction)
                           : std::optional(clip.new_name);
        if (!clip.never_renamed && !clip.restored && !clip.dated && planned &&
            names.insert(name).second) {
            found.push_back({&clip, name, *planned});
        }
    }
    return found;
}

class LaterDates {
  public:
    LaterDates(lineio::Channels& channels, const Journal& journal, const ClipFolder& folder,
               JournalHead head, DatesRuns since, const std::string& program)
        : channels_(channels),
          journal_(journal),
          folder_(folder),
          head_(std::move(head)),
          since_(std::move(since)),
          writer_(channels, program) {
        writer_.start(head_);
    }

    // Why the clip that bears the candidate's name is left unread, or empty.
    std::string left_unread(const Candidate& candidate) const {
        FileIdentity file;
        if (const int error = folder_.identify(candidate.name, file); error != 0) {
            bool there = true;
            return folder_.exists(candidate.name, there) == 0 && !there ? "it is no longer there"
                                                                        : describe_error(error);
        }
        if (const DatesRun* const run = dates_run_of(candidate.name, file, since_)) {
            return "they were corrected already (see " + lineio::printable(run->journal) + ")";
        }
        return is_the_clip(candidate, file) ? "" : "a different file now bears this name";
    }

    // Reads the batch's clips, journals what is to change in them, then changes it.
    void correct(std::span<const Candidate> batch) {
        plans_.resize(std::max(plans_.size(), batch.size()));
        entries_.assign(batch.size(), {});
        lefts_.assign(batch.size(), {});
        std::vector<JournalClip> ahead;
        for (std::size_t at = 0; at < batch.size(); ++at) {
            const Candidate& candidate = batch[at];
            JournalClip& entry = entries_[at];
            entry.old_name = entry.new_name = candidate.name;
            lefts_[at] = left_unread(candidate);
            FileIdentity identity;
            if (!lefts_[at].empty() || plan_dates(folder_, head_.correction, candidate.planned,
                                                  true, entry, plans_[at], identity) != 0) {
                continue;
            }
            if (!is_the_clip(candidate, identity)) {
                // Another file took the name between the look and the opening.
                lefts_[at] = "a different file now bears this name";
            } else if (entry.dated) {
                identity_text(identity, head_.identity_kind, entry.identity);
                ahead.push_back(entry);
            }
        }
        if (!ahead.empty()) {
            writer_.write_ahead(ahead);
        }
        for (std::size_t at = 0; at < batch.size(); ++at) {
            bool corrected = false;
            const std::string line =
                !lefts_[at].empty() ? "  Dates left: " + lefts_[at]
                : entries_[at].dated && writer_.name().empty()
                    ? unjournaled_dates_line
                    : correct_dates(folder_, batch[at].name, entries_[at], plans_[at], corrected);
            plans_[at].file.close();
            channels_.text_line(lineio::console_output, {" ", head_path(batch[at].name)});
            channels_.text_line(lineio::console_output, line);
            (corrected ? corrected_ : left_) += 1;
        }
    }

    // The summary, and for a person the command that takes the run back.
    void finish(const std::string& program) {
        writer_.close(0);
        write_dates_summary(channels_, lineio::console_output, corrected_, left_, "were");
        if (channels_.output_to_person() && !writer_.name().empty()) {
            channels_.text_line(lineio::console_output,
                                " To take this run back: " +
                                    undo_command(program, journal_in_full(writer_.name())));
        }
    }

  private:
    std::string head_path(const std::string& name) const {
        return std::string(journal_.head.folder).append("/").append(name);
    }

    // Without an identity (1.1.0) the clip that bears the name the run gave is taken for the one
    // it renamed: its recorded dates change only where they agree with the old name.
    bool is_the_clip(const Candidate& candidate, const FileIdentity& file) const {
        return journal_.legacy || is_journaled_clip(*candidate.clip, file, head_.identity_kind);
    }

    lineio::Channels& channels_;
    const Journal& journal_;
    const ClipFolder& folder_;
    JournalHead head_;
    DatesRuns since_;
    JournalWriter writer_;
    std::vector<JournalClip> entries_;
    std::vector<DatePlan> plans_;
    std::vector<std::string> lefts_;
    std::int32_t corrected_ = 0;
    std::int32_t left_ = 0;
};

}  // namespace

void run_journal_dates(lineio::Channels& channels, const std::string& journal_name,
                       const std::string& program) {
    Journal journal;
    std::string journal_path;
    std::string folder_path;
    load_journal_to_follow(channels, journal_name, journal, journal_path, folder_path);
    if (journal.head.dates_only) {
        fail_journal(channels, journal_name,
                     "it is the journal of a run that corrected dates only: correcting them "
                     "again would shift them twice (--undo takes that run back)");
    }
    RealFolder folder([](const std::string&, const std::string&) { return 0; });
    FileIdentity self;
    open_journal_folder(channels, journal_name, journal, folder, folder_path, journal_path, self);
    // A run of its own on the same folder under the same correction, its clips told apart as the
    // run told them (1.1.0 told them by name: they get the folder's identity now).
    JournalHead head = journal.head;
    head.folder = journal_folder_from_here(journal, journal_path, folder_path);
    head.dates_only = true;
    if (journal.legacy) {
        head.identity_kind = identity_kind_of(folder, self);
        head.folder_number = is_file_number(head.identity_kind) ? self.index : 0;
    }
    const std::vector<Candidate> candidates = candidates_of(journal);
    LaterDates run(channels, journal, folder, head, dates_runs_on(folder, folder_path), program);
    if (channels.person_at_console() && !candidates.empty()) {
        // Dropped or typed by a slip, a journal changes nothing before the person has said so.
        channels.text_line(lineio::console_output,
                           " Correct the dates of the clips the run of " + journal_name +
                               " renamed: " + std::to_string(candidates.size()) +
                               " clips in the folder \"" + journal.head.folder + "\", by " +
                               std::to_string(head.correction) + " minutes.");
        const auto first = std::ranges::find_if(
            candidates, [&run](const Candidate& clip) { return run.left_unread(clip).empty(); });
        if (first != candidates.end()) {
            show_first_clip(channels, &folder, first->name, first->planned, head.correction);
        }
        if (!answered_yes(channels, " Correct their file times and recorded dates? Y/N")) {
            channels.orderly_stop();
        }
    }
    for (std::size_t start = 0, size = 1; start < candidates.size();
         start += size, size = std::min(size * 2, largest_dated_batch)) {
        run.correct(
            std::span(candidates).subspan(start, std::min(size, candidates.size() - start)));
    }
    run.finish(program);
    channels.finish(lineio::orderly_exit_status);
}

}  // namespace workflow
