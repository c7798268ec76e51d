// The words of the dialogue, exactly as the user sees them. Texts shown in a formatted line are
// padded with blanks to their field's width where they are used.
#pragma once

#include <array>
#include <string_view>

#include "lineio/command_lines.hpp"
#include "version.hpp"

namespace workflow::texts {

inline constexpr std::string_view banner_title =
    "  Corrects the date & time on video files first labeled with Renamer";
inline constexpr std::string_view question =
    "Have you used Renamer with Meta Tag File_DateModified to relabel the files?";
inline constexpr std::string_view question_choices = "Enter Y for yes, N for no";
// Right-aligned in a wider field, so that the line begins with four blanks.
inline constexpr std::string_view no_answer =
    "Use Renamer with Meta Tag File_DateModified to relabel the video files  ";

inline constexpr std::string_view folder_prompt =
    "Enter folder name containing all video files to be renamed, then ENTER";
inline constexpr std::string_view folder_rule =
    "  The folder name is case sensitive and cannot have embedded blanks";
inline constexpr std::string_view folder_example =
    "  Example: Acceptable: Files_to_Rename, SpecialCases; Error: Relabel Folder";

inline constexpr std::string_view listing_failure =
    "There was a problem with the folder name ... TERMINATING";
inline constexpr std::string_view wrong_type =
    "At least one file is NOT an AVI or MP4 file ...Terminating";
inline constexpr std::string_view pause_prompt = "Press Enter to terminate";

inline constexpr std::string_view camera_prompt =
    "Enter the date & time on the camera as yyyy mn dy hr mn sc";
inline constexpr std::string_view camera_example =
    "  For example, you visit the camera and the date is 2025 11 21 15 30 00";
inline constexpr std::string_view actual_prompt =
    "Enter the actual date & time the camera should have been";
inline constexpr std::string_view actual_example =
    "  For example, you visit the camera and the date is 2013 01 15 16 30 00";
inline constexpr std::string_view timestamp_form =
    "  Enter this date and time as it appears with one space between fields";

inline constexpr std::string_view summary = " files successfully renamed";
inline constexpr std::string_view closing_prompt = "DONE ... Press Enter to terminate";

// The accepted extensions, in the order they are compared; upper and lower case differ.
inline constexpr std::array<std::string_view, 6> video_extensions = {"avi", "AVI", "mp4",
                                                                     "MP4", "m4v", "M4V"};

// The two command lines the dialogue runs.
inline constexpr std::string_view list_command_start = lineio::listing_command_start;
inline constexpr std::string_view list_command_end = lineio::listing_command_end;
inline constexpr std::string_view delete_listing_command = lineio::deletion_command;
inline constexpr std::string_view listing_file = rur::listing_file;

}  // namespace workflow::texts
