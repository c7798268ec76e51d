#include "workflow/dates_question.hpp"

#include <string>

#include "workflow/clip_dates_run.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/yes_no.hpp"

namespace workflow {

void show_first_clip(lineio::Channels& channels, const ClipFolder* clips, std::string_view name,
                     std::string_view planned, std::int32_t correction) {
    JournalClip entry;
    entry.old_name = name;
    entry.new_name = planned;
    DatePlan plan;
    FileIdentity identity;
    const bool read = clips != nullptr &&
                      plan_dates(*clips, correction, planned, false, entry, plan, identity) == 0;
    channels.text_line(lineio::console_output, {" The first clip, ", name, ":"});
    channels.text_line(lineio::console_output,
                       read ? dates_now_and_after(entry, plan) : "  Its dates could not be read");
}

void ask_about_dates(lineio::Channels& channels, Renamer& renamer, std::string_view folder,
                     std::string_view first_clip, std::int32_t correction) {
    std::string planned;
    if (!corrected_name(first_clip, correction, planned)) {
        return;
    }
    // Read through a folder of its own, opened to read only: nothing is written before the
    // person has answered.
    RealFolder clips([](const std::string&, const std::string&) { return 0; });
    const bool opened = clips.open(folder.empty() ? "/" : std::string(folder), true) == 0;
    show_first_clip(channels, opened ? &clips : nullptr, first_clip, planned, correction);
    renamer.correct_dates(
        answered_yes(channels, " Correct the clips' file times and recorded dates as well? Y/N"));
}

}  // namespace workflow
