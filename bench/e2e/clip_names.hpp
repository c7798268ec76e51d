// The clips the end-to-end benchmark lays out: `count` names of the form the outside renaming tool
// gives (year, month, day, hour, minute and second with one separator between any two, a dot and
// a three-letter extension), the same names on every run.
//
// Every clip has a minute of its own, except the clips of a burst, which share one minute and one
// second and differ only in their separators. No name has blanks for all five separators, so no
// shifted name can be the name of a clip that is still waiting for its turn: the set of names a
// correct run leaves behind does not depend on the order in which the clips are handled.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

std::vector<std::string> clip_names(std::size_t count);

}  // namespace bench
