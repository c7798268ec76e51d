// The line layouts of the dialogue, the renaming pass and the report file.
#pragma once

#include <cstddef>

#include "lineio/line_layout.hpp"

namespace workflow {

// A folder name is typed into 50 columns and held in 60.
inline constexpr int folder_input_width = 50;
inline constexpr std::size_t folder_name_width = 60;
// "dir /B " + the longest folder name + " > list.txt": no folder name is ever cut.
inline constexpr std::size_t command_line_width = 7 + 50 + 11;
// A listed name is read as the 23 columns of a video file name.
inline constexpr int listed_name_width = 23;
// The longest folder name, "/" and a file name: no path is ever cut.
inline constexpr std::size_t path_width = 50 + 1 + 23;

const lineio::LineLayout& text_layout(int width);
const lineio::LineLayout& summary_layout();
const lineio::LineLayout& report_timestamp_layout();
const lineio::LineLayout& report_correction_layout();
const lineio::LineLayout& file_name_layout();
// An outcome message, then a path of `path_length` characters in a field of that width, which
// shows the path exactly as a field of one column for each of its characters would;
// `leading_blank` for the console.
const lineio::LineLayout& outcome_layout(int message_width, bool leading_blank,
                                         std::size_t path_length);

}  // namespace workflow
