#include "workflow/repeat_check.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "lineio/fixed_text.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/journal.hpp"

namespace workflow {
namespace {

// Whether the journal `journal_name` records a run on `folder` with `correction` whose clips all
// still bear the names it gave: each name borne by the very file the journal names.
bool same_run_done(const std::string& journal_name, std::string_view folder,
                   std::int32_t correction) {
    Journal journal;
    int error = 0;
    if (journal_name.empty() || !load_journal(journal_name, journal, error).refused.empty() ||
        error != 0 || journal.legacy || journal.clips.empty() || journal.head.folder != folder ||
        journal.head.correction != correction) {
        return false;
    }
    RealFolder clips([](const std::string&, const std::string&) {});
    if (clips.open(folder.empty() ? "/" : std::string(folder), true) != 0) {
        return false;
    }
    return std::all_of(journal.clips.begin(), journal.clips.end(), [&](const JournalClip& clip) {
        FileIdentity file;
        const std::string& given = clip.renamed_as.empty() ? clip.new_name : clip.renamed_as;
        return clips.identify(given, file) == 0 &&
               identity_text(file, journal.head.identity_by_number) == clip.identity;
    });
}

}  // namespace

void ask_before_shifting_again(lineio::Channels& channels, std::string_view folder,
                               std::int32_t correction) {
    const std::string journal_name = newest_journal();
    if (!same_run_done(journal_name, folder, correction)) {
        return;
    }
    for (const std::string& line : std::array<std::string, 4>{
             " This folder was shifted by the same number of minutes before, and its clips",
             " still bear the names that run gave them (see " + journal_name + ").",
             " Shifting again moves every clip a second time.", " Shift them again? Y/N"}) {
        channels.text_line(lineio::console_output, line);
    }
    lineio::FixedText<1> answer;
    channels.field_input(lineio::console_input, 1, answer.span());
    if (answer.chars[0] != 'Y' && answer.chars[0] != 'y') {
        channels.orderly_stop();
    }
}

}  // namespace workflow
