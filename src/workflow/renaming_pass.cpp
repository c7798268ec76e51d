#include "workflow/renaming_pass.hpp"

#include <algorithm>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lineio/unicode_text.hpp"
#include "workflow/clip_dates_run.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/dialogue_texts.hpp"
#include "workflow/listed_files.hpp"
#include "workflow/renamer.hpp"

namespace workflow {
namespace {

using lineio::Channels;
using lineio::FixedText;

// The journal's entries reach the medium before the renames they cover, a batch at a time; the
// batches grow so that a run of 100,000 clips waits for the medium a few dozen times. With
// --dates a batch holds fewer (largest_dated_batch).
constexpr std::size_t first_batch = 1;
constexpr std::size_t largest_batch = 4096;

// One listed name and what the pass means to do with it.
struct ListedClip {
    FixedText<listed_name_bytes> name;  // 23 columns and the blanks behind them
    std::size_t name_bytes = 0;         // the bytes of `name` read from the listing
    bool longer_name = false;
    bool correctable = false;  // false: the file is left as it is
    // Its entry in the batch's journal entries, which holds its corrected name, once it is
    // correctable and told from other files.
    std::size_t entry = no_entry;
    std::uint64_t number = 0;  // the file's number in the listing
    bool other_names = false;  // the file has more than one name, here or in another folder
    int unknown = 0;  // why the file could not be told from others, which leaves it as it is
    std::size_t dated = no_dates;  // with --dates: its entry in the batch's plan
    static constexpr std::size_t no_entry = SIZE_MAX;
    static constexpr std::size_t no_dates = SIZE_MAX;

    // The name without its trailing blanks, looked for in the bytes read only: the blanks that
    // fill the field out are three quarters of it.
    std::string_view trimmed() const { return lineio::trimmed(name.view().substr(0, name_bytes)); }
};

class Pass {
  public:
    Pass(Channels& channels, const RenamingJob& job, Renamer& renamer)
        : channels_(channels),
          renamer_(renamer),
          clips_(renamer.clip_folder()),
          folder_(job.folder()),
          correction_(job.correction),
          already_shifted_(job.already_shifted) {
        // The paths are "<folder>/<name>": an empty folder answer puts the names at the root.
        facts_.open_error = clips_.open(folder_.empty() ? "/" : std::string(folder_), true);
        // A folder that cannot tell its own identity cannot tell its clips': none is renamed.
        FileIdentity self;
        if (facts_.open_error == 0) {
            facts_.open_error = clips_.identify_self(self);
        }
        if (facts_.open_error == 0) {
            facts_.identity_kind = identity_kind_of(clips_, self);
            if (facts_.identity_kind != IdentityKind::size_and_time) {
                facts_.number = self.index;
            }
            // The listing that made list.txt serves when it was of this very folder: listing
            // 100,000 names again would cost 4 % of a run on tmpfs.
            listed_.emplace();
            if (self.index != 0 && job.listed_files.folder_number() == self.index) {
                *listed_ = std::move(job.listed_files);
            } else {
                listed_->list(clips_);
            }
            facts_.any_name = listed_->any_name();
        }
        renamer_.start(job, facts_);
        // "<folder>/" stays at the head of both paths; only the names behind it change.
        old_path_.assign(folder_).append("/");
        new_path_ = old_path_;
    }

    // Reads up to `count` lines of the listing; empty when it has no further line. The clips of
    // one batch take the places, and the room, of the last batch's.
    std::span<ListedClip> read_batch(std::size_t count) {
        std::size_t read = 0;
        for (; read < count; ++read) {
            if (read == batch_.size()) {
                batch_.emplace_back();
            }
            ListedClip& clip = batch_[read];
            if (channels_.field_input(listing_channel, listed_name_width, clip.name.span(),
                                      &clip.longer_name, &clip.name_bytes) == lineio::end_of_file) {
                break;
            }
            clip.correctable = false;
            clip.entry = ListedClip::no_entry;
            clip.number = 0;
            clip.other_names = false;
            clip.unknown = 0;
            clip.dated = ListedClip::no_dates;
        }
        return std::span(batch_).first(read);
    }

    // Works out each clip's corrected name and identity, and has the renamer record them.
    void plan(std::span<ListedClip> batch) {
        std::size_t ahead = 0;
        if (renamer_.corrects_dates()) {
            date_plans_.resize(batch.size());
        }
        for (ListedClip& clip : batch) {
            // A longer listed name is not the file its first 23 columns name, and a timestamp
            // that is no minute of the calendar, or leaves it, has no corrected name: such a
            // file is left as it is.
            if (clip.longer_name || facts_.open_error != 0 ||
                (!already_shifted_.empty() &&
                 already_shifted_.contains(std::string(clip.trimmed())))) {
                continue;
            }
            // The entries of one batch take the places, and the room, of the last batch's; a
            // clip that gets none leaves its place to the next.
            if (ahead == ahead_.size()) {
                ahead_.emplace_back();
            }
            JournalClip& entry = ahead_[ahead];
            entry.clear();
            clip.correctable = corrected_name(clip.name.view(), correction_, entry.new_name);
            if (!clip.correctable) {
                continue;
            }
            entry.old_name = clip.trimmed();
            // One call a clip: a number alone is reused by the next file made, so what comes with
            // it is asked of the system however well the listing knows the number. With --dates
            // the clip is read before the journal entry is written, so that the entry holds every
            // change, and the clip opened tells its identity.
            FileIdentity identity;
            if (renamer_.corrects_dates()) {
                clip.dated = ahead;
                // Opened to be written: its journal, made with the first batch, may yet turn out
                // not to be had, and then the clip is only closed again. A preview's folder only
                // reads it, and fails the opening where the real run's would fail.
                clip.unknown = plan_dates(clips_, correction_, entry.new_name, true, entry,
                                          date_plans_[clip.dated], identity);
            } else {
                clip.unknown = clips_.identify(entry.old_name, identity);
            }
            if (clip.unknown != 0) {
                clip.dated = ListedClip::no_dates;
                continue;  // a clip the journal cannot name is not renamed
            }
            // Sizes and times say nothing of names: only a true number makes two names one file.
            clip.number = is_file_number(facts_.identity_kind) ? identity.index : 0;
            clip.other_names = identity.links > 1;
            identity_text(identity, facts_.identity_kind, entry.identity);
            clip.entry = ahead++;
        }
        if (ahead != 0) {
            renamer_.before_batch(std::span<const JournalClip>(ahead_).first(ahead));
        }
    }

    void handle(const ListedClip& clip, std::int32_t& renamed_count) {
        // The name's 23 columns, in as many bytes as its characters take.
        const std::string_view shown = clip.name.view().substr(
            0, lineio::unicode::bytes_of_characters(clip.name.view(), listed_name_width));
        channels_.text_line(lineio::console_output, {"File name = ", shown});
        // A clip with a journal entry has its name there already.
        if (clip.entry == ListedClip::no_entry) {
            name_.assign(clip.trimmed());
        }
        const std::string& name =
            clip.entry == ListedClip::no_entry ? name_ : ahead_[clip.entry].old_name;
        std::string& new_name = new_name_;
        new_name.clear();
        int error = 0;
        bool renamed = false;
        bool renamed_here = false;  // renamed now, not as a second name of a clip renamed before
        if (facts_.open_error != 0 || clip.unknown != 0) {
            error = facts_.open_error != 0 ? facts_.open_error : clip.unknown;
        } else if (clip.correctable) {
            const auto earlier =
                clip.number != 0 ? renamed_files_.find(clip.number) : renamed_files_.end();
            if (earlier != renamed_files_.end()) {
                // Another name of a clip renamed earlier in this run: the clip keeps the name it
                // got, under which the line says it was renamed, that being where the user finds
                // it. It is not counted again, the count being one of files.
                error =
                    name == earlier->second ? 0 : clips_.remove_second_name(name, earlier->second);
                if (error == 0 && name != earlier->second) {
                    renamer_.removed(name);
                }
                if (error == 0) {
                    new_name = earlier->second;
                    renamed = true;
                }
            } else if (rename_to_corrected_name(clip, name, new_name, error)) {
                renamed_here = true;
                renamer_.renamed(name, new_name, corrected_name_of(clip));
                if (clip.other_names && listed_ && listed_->has_other_names(clip.number)) {
                    renamed_files_.emplace(clip.number, new_name);
                }
                renamed = true;
                ++renamed_count;
            }
        }
        if (!renamed && clip.correctable && clip.unknown == 0 && facts_.open_error == 0) {
            renamer_.left(name);
        }
        // The clip's dates are corrected before its outcome is told, so that the report takes the
        // outcome and the dates line in one write.
        dates_line_.clear();
        if (renamed_here && clip.dated != ListedClip::no_dates) {
            const JournalClip& entry = ahead_[clip.dated];
            bool corrected = false;
            if (!renamer_.changes_names()) {
                dates_line_ = foretell_dates(entry, date_plans_[clip.dated], corrected);
            } else if (renamer_.journals()) {
                dates_line_ =
                    correct_dates(clips_, new_name, entry, date_plans_[clip.dated], corrected);
            } else {
                dates_line_ = unjournaled_dates_line;
            }
            renamer_.count_dates(corrected);
        }
        if (clip.dated != ListedClip::no_dates) {
            date_plans_[clip.dated].file.close();
        }
        old_path_.resize(folder_.size() + 1);
        old_path_.append(name);
        if (renamed) {
            new_path_.resize(folder_.size() + 1);
            new_path_.append(new_name);
        }
        renamer_.outcome(renamed, renamed ? new_path_ : old_path_, old_path_, dates_line_);
        if (!renamed && error != 0) {
            channels_.error_line("  " + lineio::printable(old_path_) +
                                 " was left as it is: " + describe_error(error));
        }
    }

  private:
    // Tries the corrected name, then the burst numbers in turn, as long as each name is taken;
    // any other refusal ends the tries with `error` set. Returns whether the file was renamed.
    bool rename_to_corrected_name(const ListedClip& clip, const std::string& name,
                                  std::string& new_name, int& error) {
        ClipFolder& folder = clips_;
        for (int burst = 0; burst <= burst_count; ++burst) {
            new_name.assign(corrected_name_of(clip));  // into the room the last name left
            if (burst != 0) {
                new_name = burst_variant(new_name, burst);
            }
            error = folder.rename(name, new_name);
            if (error == 0) {
                return true;
            }
            if (!is_taken_name_refusal(error)) {
                return false;
            }
            // Taken by the very file being renamed (a run killed half-way through a rename by
            // link can leave a clip under both names): the new name is already the clip's.
            if (clip.number != 0 && is_same_file(new_name, clip.number) &&
                folder.remove_second_name(name, new_name) == 0) {
                error = 0;
                return true;
            }
        }
        error = 0;  // every name was taken: the plain "Could not rename" says it all
        return false;
    }

    // The corrected name of a clip that has its journal entry.
    const std::string& corrected_name_of(const ListedClip& clip) const {
        return ahead_[clip.entry].new_name;
    }

    // Whether `name` is a name of the file numbered `number`.
    bool is_same_file(const std::string& name, std::uint64_t number) const {
        FileIdentity identity;
        return clips_.identify(name, identity) == 0 && identity.index == number;
    }

    Channels& channels_;
    Renamer& renamer_;
    ClipFolder& clips_;
    std::string_view folder_;
    std::int32_t correction_;
    const std::unordered_set<std::string>& already_shifted_;
    FolderFacts facts_;
    std::optional<ListedFiles> listed_;
    std::vector<ListedClip> batch_;
    std::vector<JournalClip> ahead_;
    std::vector<DatePlan> date_plans_;  // with --dates, by the clips' places in ahead_
    // Reused from one clip to the next, so that a clip costs no allocation of its own.
    std::string name_;
    std::string new_name_;
    std::string old_path_;
    std::string new_path_;
    std::string dates_line_;
    // Files with other names that this run renamed, by number, with the name each got.
    std::unordered_map<std::uint64_t, std::string> renamed_files_;
};

}  // namespace

void run_renaming_pass(Channels& channels, const RenamingJob& job, Renamer& renamer) {
    Pass pass(channels, job, renamer);
    channels.open(listing_channel, texts::listing_file, lineio::FileRole::other,
                  renamer.listing_in_memory());
    std::int32_t renamed_count = 0;
    const std::size_t largest = renamer.corrects_dates() ? largest_dated_batch : largest_batch;
    for (std::size_t size = first_batch;; size = std::min(size * 2, largest)) {
        const std::span<ListedClip> batch = pass.read_batch(size);
        if (batch.empty()) {
            break;
        }
        pass.plan(batch);
        for (const ListedClip& clip : batch) {
            pass.handle(clip, renamed_count);
        }
    }
    channels.close(listing_channel);
    renamer.finish(renamed_count);
}

}  // namespace workflow
