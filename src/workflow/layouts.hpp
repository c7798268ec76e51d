// The line layouts of the dialogue, the renaming pass and the report file, and the widths and
// columns of the texts they show.
#pragma once

#include <cstddef>

#include "lineio/line_layout.hpp"

namespace workflow {

// A folder name is typed into 50 columns, a character (of up to four UTF-8 bytes) to a column; a
// longer one is refused rather than cut, since the cut name could name another folder.
inline constexpr int folder_input_width = 50;
inline constexpr std::size_t folder_name_width = std::size_t{4} * folder_input_width;
// "dir /B " + the longest folder name + " > list.txt": no folder name is ever cut.
inline constexpr std::size_t command_line_width = 7 + folder_name_width + 11;
// A listed name is read as the 23 columns of a video file name, a character to a column; its
// separators may be characters of several bytes, such as an en dash.
inline constexpr int listed_name_width = 23;
inline constexpr std::size_t listed_name_bytes = std::size_t{4} * listed_name_width;

// Where the fields of a listed name "yyyy?mm?dd?hh?mm?ss.ext" start, counted from 0.
namespace listed_name_column {
inline constexpr std::size_t year = 0;
inline constexpr std::size_t month = 5;
inline constexpr std::size_t day = 8;
inline constexpr std::size_t hour = 11;
inline constexpr std::size_t minute = 14;
inline constexpr std::size_t second = 17;
inline constexpr std::size_t dot = 19;
inline constexpr std::size_t extension = 20;
}  // namespace listed_name_column
inline constexpr std::size_t extension_width = 3;

lineio::LineLayout text_layout(int width);
const lineio::LineLayout& summary_layout();
const lineio::LineLayout& report_timestamp_layout();
const lineio::LineLayout& report_correction_layout();

}  // namespace workflow
