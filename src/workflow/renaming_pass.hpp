// The renaming pass: every listed video file renamed to its corrected date and time, with a burst
// number in place of the seconds when that name is taken, and every outcome in the report file.
#pragma once

#include <cstdint>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "timestamp/timestamp.hpp"
#include "version.hpp"
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
};

class Renamer;

// Renames every file of the listing through `renamer`, which writes the report's head before the
// first file, tells each outcome and writes the summary lines, with the count of files renamed,
// after the last. Returns with the listing closed.
void run_renaming_pass(lineio::Channels& channels, const RenamingJob& job, Renamer& renamer);

}  // namespace workflow
