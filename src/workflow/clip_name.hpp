// A clip's name and the names the renaming gives it: the corrected date and time in the fixed
// form "yyyy mm dd hh mm ss.ext", and its burst variants with "01" to "40" in place of the seconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace workflow {

inline constexpr int burst_count = 40;

// The corrected name of the listed name `name` (its first 23 columns), or nothing when they hold
// no minute of the calendar or the shift leaves it.
std::optional<std::string> corrected_name(std::string_view name, std::int32_t correction);
// The same into `corrected`, whose room is reused from one clip to the next; false when there is
// no corrected name, `corrected` then holding nothing of use.
bool corrected_name(std::string_view name, std::int32_t correction, std::string& corrected);

// `name` with the burst number `number` (1 to 40) in place of its seconds.
std::string burst_variant(std::string_view name, int number);

// Whether `candidate` is `name` or one of its burst variants.
bool is_name_or_variant(std::string_view name, std::string_view candidate);

}  // namespace workflow
