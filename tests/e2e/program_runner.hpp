// Runs the built program as a user would: in a scratch directory, its answers piped in, its output
// and error streams and every file it leaves collected for byte-for-byte comparison.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "support/scratch_directory.hpp"

namespace e2e {

using test_support::ScratchDirectory;

struct ProgramRun {
    int exit_status = -1;  // -1 when the program ended by a signal
    std::string output;
    std::string error;
};

// The id of the user "nobody", for whom file permissions hold even when the tests run as root.
inline constexpr unsigned unprivileged_user_id = 65534;

// Runs the program in `directory` until it ends: the one in RUR_PROGRAM when set (with
// RUR_PROGRAM_LAUNCHER, such as wine, in front of it), otherwise the one this test was built with.
// `meanwhile` is called with a function that kills the program at once. `unprivileged` starts it
// as "nobody" when the tests run as root.
ProgramRun run_program(const std::filesystem::path& directory, std::string_view input,
                       bool unprivileged = false,
                       const std::function<void(const std::function<void()>&)>& meanwhile = {});

bool running_as_root();
// True when the program runs through RUR_PROGRAM_LAUNCHER (the Windows executable under Wine).
bool runs_through_launcher();

// Every file below `folder` (relative path to contents).
std::map<std::string, std::string> folder_contents(const std::filesystem::path& folder);

// `text` with every line feed turned into carriage return and line feed.
std::string crlf(std::string_view text);

}  // namespace e2e
