// What the renaming pass and the two runs it serves, the real one and the preview, share: the job
// the dialogue lends them, and what the pass learnt of the folder on opening it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

#include "lineio/fixed_text.hpp"
#include "timestamp/timestamp.hpp"
#include "version.hpp"
#include "workflow/identity.hpp"
#include "workflow/layouts.hpp"
#include "workflow/listed_files.hpp"

namespace workflow {

inline constexpr int report_channel = 2;
inline constexpr int listing_channel = 1;
inline constexpr std::string_view report_file = rur::report_file;

// What the dialogue lends the pass.
struct RenamingJob {
    const lineio::FixedText<folder_name_width>& folder_name;
    std::int32_t folder_length;
    const timestamp::Timestamp& camera;
    const timestamp::Timestamp& actual;
    const std::int32_t& correction;
    const std::int32_t& lowest_year;
    // What the listing command saw; the pass takes it over when it was of the folder renamed.
    ListedFiles& listed_files;
    // Clips an earlier run shifted, which this one leaves as they are.
    const std::unordered_set<std::string>& already_shifted;

    std::string_view folder() const {
        return folder_name.view().substr(0, static_cast<std::size_t>(folder_length));
    }
};

// What the pass learnt of the folder on opening it, once for the whole pass.
struct FolderFacts {
    int open_error = 0;  // the folder could not be opened: every rename fails with this
    IdentityKind identity_kind = IdentityKind::size_and_time;
    std::uint64_t number = 0;  // 0 where numbers do not outlive a remount
    std::string any_name;      // a listed name, to learn whether the folder ignores case
};

}  // namespace workflow
