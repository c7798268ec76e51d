#include "workflow/dates_question.hpp"

#include <string>

#include "workflow/clip_dates_run.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/yes_no.hpp"

namespace workflow {

void ask_about_dates(lineio::Channels& channels, Renamer& renamer, std::string_view folder,
                     std::string_view first_clip, std::int32_t correction) {
    JournalClip entry;
    entry.old_name = first_clip;
    if (!corrected_name(first_clip, correction, entry.new_name)) {
        return;
    }
    // Read through a folder of its own, opened to read only: nothing is written before the
    // person has answered.
    RealFolder clips([](const std::string&, const std::string&) { return 0; });
    DatePlan plan;
    FileIdentity identity;
    const bool read = clips.open(folder.empty() ? "/" : std::string(folder), true) == 0 &&
                      plan_dates(clips, correction, false, entry, plan, identity) == 0;
    channels.text_line(lineio::console_output, {" The first clip, ", first_clip, ":"});
    channels.text_line(lineio::console_output,
                       read ? dates_now_and_after(entry, plan) : "  Its dates could not be read");
    renamer.correct_dates(
        answered_yes(channels, " Correct the clips' file times and recorded dates as well? Y/N"));
}

}  // namespace workflow
