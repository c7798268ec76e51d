// The two command lines the program runs: the dialogue builds them, the channels carry them out.
#pragma once

#include <string_view>

namespace lineio {

inline constexpr std::string_view listing_command_start = "dir /B ";
inline constexpr std::string_view listing_command_end = " > list.txt";
inline constexpr std::string_view deletion_command = "del list.txt";

}  // namespace lineio
