// The two ways platform_posix.cpp renames a file where the system refuses an atomic rename that
// never replaces: through a hard link, and, on filesystems without hard links, by claiming the new
// name with an exclusive creation and renaming onto that claim. Declared here so that each can be
// tried on any filesystem.
#pragma once

#include <string>

namespace lineio::platform::posix {

int rename_by_link(const std::string& from, const std::string& to);
int rename_when_absent(const std::string& from, const std::string& to);

}  // namespace lineio::platform::posix
