// Runs the built program as a user would: in a scratch directory, its answers piped in, its output
// and error streams and every file it leaves collected for byte-for-byte comparison.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/scratch_directory.hpp"

namespace e2e {

namespace fs = std::filesystem;
using test_support::ScratchDirectory;

using Files = std::map<std::string, std::string>;

struct ProgramRun {
    int exit_status = -1;  // -1 when the program ended by a signal
    std::string output, error;
};

inline const std::string report_name = "DedUzarodivedizidUZOVU.txt";
inline const std::string journal_start = "DoridivezizoziRUR-undo-";

// The user "nobody", for whom file permissions hold even when the tests run as root.
inline constexpr unsigned unprivileged_user_id = 65534;

inline const char* environment_variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// The Windows executable runs under Wine, named by RUR_PROGRAM_LAUNCHER.
inline bool runs_through_launcher() {
    return environment_variable("RUR_PROGRAM_LAUNCHER") != nullptr;
}

// Set by CI, where every row must run: a missing tool or device there fails the row.
inline bool skips_refused() {
    return environment_variable("RUR_NO_SKIPS") != nullptr;
}

// The command that starts the program: the one in RUR_PROGRAM (behind RUR_PROGRAM_LAUNCHER) when
// set, else this build's.
inline std::vector<std::string> program_command() {
    std::vector<std::string> command;
    if (runs_through_launcher()) {
        command.emplace_back(environment_variable("RUR_PROGRAM_LAUNCHER"));
    }
    // The program starts in its scratch directory, so its own path must not be relative; and
    // started through a launcher, a missing program would only show as the launcher's complaint.
    const char* program = environment_variable("RUR_PROGRAM");
    command.push_back(fs::absolute(program != nullptr ? program : RUR_PROGRAM_PATH).string());
    if (!fs::is_regular_file(command.back())) {
        throw std::runtime_error("the program to test is missing: " + command.back());
    }
    return command;
}

// Runs the program in `directory` until it ends. `unprivileged` runs it as "nobody" under root;
// `options` follow it on its command line.
inline ProgramRun run_program(const fs::path& directory, std::string_view input,
                              bool unprivileged = false,
                              const std::vector<std::string>& options = {}, bool again = true) {
    std::vector<std::string> command = program_command();
    const bool drop = unprivileged && geteuid() == 0;
    // "nobody" may not reach the build folder, so it starts a copy from a folder open to all.
    fs::path reachable;
    if (drop && !runs_through_launcher()) {
        std::string pattern = (fs::temp_directory_path() / "rur-program-XXXXXX").string();
        reachable = mkdtemp(pattern.data());
        fs::permissions(reachable, fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
        fs::copy_file(command.back(), reachable / fs::path(command.back()).filename());
        command.back() = (reachable / fs::path(command.back()).filename()).string();
    }
    command.insert(command.end(), options.begin(), options.end());
    std::vector<char*> arguments(command.size() + 1);  // ending in a null pointer
    std::ranges::transform(command, arguments.begin(),
                           [](std::string& word) { return word.data(); });
    std::FILE* const streams[] = {std::tmpfile(), std::tmpfile(), std::tmpfile()};
    std::fwrite(input.data(), 1, input.size(), streams[0]);
    std::rewind(streams[0]);
    const pid_t process = fork();
    if (process < 0) {
        throw std::runtime_error("fork failed: the program could not be started");
    }
    if (process == 0) {
        for (int stream = 0; stream < 3; ++stream) {
            dup2(fileno(streams[stream]), stream);
        }
        if (chdir(directory.c_str()) == 0 &&
            (!drop || (setgid(unprivileged_user_id) == 0 && setuid(unprivileged_user_id) == 0))) {
            execvp(arguments[0], arguments.data());
        }
        _exit(126);
    }
    int status = 0;
    while (waitpid(process, &status, 0) < 0) {
    }
    if (!reachable.empty()) {
        fs::remove_all(reachable);
    }
    std::string collected[3];
    for (int stream = 0; stream < 3; ++stream) {
        // Opened again by its descriptor's name, the file is read from its start.
        collected[stream] =
            ScratchDirectory::read_file("/dev/fd/" + std::to_string(fileno(streams[stream])));
        std::fclose(streams[stream]);
    }
    // Wine on a loaded machine may fail before the program has started: it is started again.
    if (again && runs_through_launcher() && status == 256 &&
        (collected[1] + collected[2]).empty()) {
        return run_program(directory, input, unprivileged, options, false);
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, collected[1], collected[2]};
}

inline std::map<std::string, std::string> folder_contents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            contents[fs::relative(entry.path(), folder).string()] =
                ScratchDirectory::read_file(entry.path());
        }
    }
    return contents;
}

// The journal the last run left in `directory`; the `earlier` ones were there before it.
inline std::string journal_in(const fs::path& directory,
                              const std::set<std::string>& earlier = {}) {
    std::string found;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(journal_start) && !earlier.contains(name)) {
            EXPECT_EQ(found, "") << "two journals";
            found = name;
        }
    }
    return found;
}

inline std::string crlf(std::string_view text) {
    return std::regex_replace(std::string(text), std::regex("\n"), "\r\n");
}

// A preview's console output told as the real run's, line for line.
inline std::string as_real(std::string output) {
    for (const auto& [dry, real] : std::vector<std::pair<std::string, std::string>>{
             {" Dry run: the names a real run would give; nothing is renamed\r\n\r\n", ""},
             {" Dry run: would be renamed ", " Successfully renamed "},
             {" Dry run: could not be renamed ", " Could not rename "},
             {" files would be renamed; nothing was renamed \\(dry run\\)",
              " files successfully renamed"},
             {"  Dates would be left: ", "  Dates left: "},
             {" dates would be corrected", " dates were corrected"}}) {
        output = std::regex_replace(output, std::regex(dry), real);
    }
    return output;
}

}  // namespace e2e
