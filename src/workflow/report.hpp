// The lines of the report file, and the outcome lines that the console shows as well.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "lineio/channels.hpp"
#include "timestamp/timestamp.hpp"

namespace workflow {

// Both timestamps, the correction and an empty line.
void write_report_head(lineio::Channels& channels, int report, const timestamp::Timestamp& camera,
                       const timestamp::Timestamp& actual, std::int32_t correction);

// "Successfully renamed " and the new path, or "Could not rename " and the old path, each
// followed by an empty line, in the report and, behind one blank, on the console. `path` holds
// no trailing blanks and fits a path of the program's width.
// Should the report not take the line, the pieces of `failure_note` end the diagnostic. A
// `dates_line` (with --dates) follows, with an empty line of its own, in the same write.
void write_outcome(lineio::Channels& channels, int report, bool renamed, std::string_view path,
                   std::initializer_list<std::string_view> failure_note = {},
                   std::string_view dates_line = {});

// The renamed count in 6 columns and " files successfully renamed".
void write_summary(lineio::Channels& channels, int channel, std::int32_t renamed_count);

// With --dates, the clips whose recorded dates `verb` ("were", "would be") corrected and those
// left.
void write_dates_summary(lineio::Channels& channels, int channel, std::int32_t corrected,
                         std::int32_t left, std::string_view verb);

}  // namespace workflow
