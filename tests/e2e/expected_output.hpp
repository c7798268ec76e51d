// What the program shows, line by line, in the parts of the dialogue that every run shares.
// Lines are written here with a bare line feed; crlf() gives the bytes the program writes.
#pragma once

#include <string>
#include <string_view>

namespace e2e {

inline std::string pad(std::string_view text, std::size_t width) {
    std::string padded(text);
    padded.resize(width, ' ');
    return padded + "\n";
}

// Banner and the yes/no question.
inline std::string opening() {
    return pad("", 76) +
           pad("  Corrects the date & time on video files first labeled with Renamer", 76) + "\n" +
           pad("Have you used Renamer with Meta Tag File_DateModified to relabel the files?", 76) +
           pad("Enter Y for yes, N for no", 76);
}

inline std::string folder_prompt() {
    return pad("Enter folder name containing all video files to be renamed, then ENTER", 76) +
           pad("  The folder name is case sensitive and cannot have embedded blanks", 76) +
           pad("  Example: Acceptable: Files_to_Rename, SpecialCases; Error: Relabel Folder", 76);
}

inline std::string camera_prompt() {
    return pad("Enter the date & time on the camera as yyyy mn dy hr mn sc", 75) +
           pad("  For example, you visit the camera and the date is 2025 11 21 15 30 00", 75) +
           pad("  Enter this date and time as it appears with one space between fields", 75);
}

inline std::string actual_prompt() {
    return pad("Enter the actual date & time the camera should have been", 75) +
           pad("  For example, you visit the camera and the date is 2013 01 15 16 30 00", 75) +
           pad("  Enter this date and time as it appears with one space between fields", 75);
}

// Everything up to the clock correction's line, for a run that gets that far.
inline std::string up_to_correction() {
    return opening() + folder_prompt() + "\n" + camera_prompt() + "\n" + actual_prompt() + "\n";
}

// The typed answers of a whole run, and the Enter that ends it.
inline std::string answers(std::string_view folder, std::string_view camera,
                           std::string_view actual) {
    return "Y\n" + std::string(folder) + "\n" + std::string(camera) + "\n" + std::string(actual) +
           "\n\n";
}

inline constexpr std::string_view closing = " DONE ... Press Enter to terminate\n";
inline constexpr std::string_view stop_notice = "Program stopped\r\n";
inline constexpr std::string_view report_name = "DedUzarodivedizidUZOVU.txt";

}  // namespace e2e
