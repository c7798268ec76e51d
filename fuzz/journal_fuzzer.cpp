// Any bytes as an undo journal: the reader never fails, and every clip it takes keeps the rules
// the undo relies on, whatever the bytes. A backslash and a colon belong to a name on POSIX only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/journal.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    workflow::Journal journal;
    const workflow::JournalProblems problems = workflow::read_journal(text, journal);
    fuzz_support::require(!problems.not_a_journal || journal.clips.empty(),
                          "a journal of clips is a journal");
    if (journal.legacy || !problems.refused.empty()) {
        return 0;
    }
    const auto* separators = workflow::own_name_rules == workflow::NameRules::posix ? "/" : "/\\:";
    for (const workflow::JournalClip& clip : journal.clips) {
        fuzz_support::require(clip.old_name.find_first_of(separators) == std::string::npos,
                              "a taken name stays inside the folder");
        fuzz_support::require(
            workflow::corrected_name(clip.old_name, journal.head.correction) == clip.new_name,
            "a new name is the corrected old one");
        for (const std::string* taken : {&clip.renamed_as, &clip.claimed}) {
            fuzz_support::require(
                taken->empty() || workflow::is_name_or_variant(clip.new_name, *taken),
                "a name taken is one the clip could get");
        }
    }
    return 0;
}
