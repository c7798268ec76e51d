// Runs the built program as a user would: in a scratch directory, its answers piped in, its output
// and error streams and every file it leaves collected for byte-for-byte comparison.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

struct ProgramRun {
    int exit_status = -1;  // -1 when the program ended by a signal
    int signal = 0;
    std::string output;
    std::string error;
};

// A fresh directory under the system's temporary folder, removed with everything in it.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory();
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

enum class RunAs { this_user, unprivileged_user };

// The program, taken from RUR_PROGRAM when set (with RUR_PROGRAM_LAUNCHER, such as wine, in front
// of it), otherwise the one this test was built with. With RunAs::unprivileged_user a test run by
// root starts the program as the user "nobody", for whom file permissions hold.
ProgramRun run_program(const std::filesystem::path& directory, std::string_view input,
                       RunAs user = RunAs::this_user, const std::vector<std::string>& options = {});

// A program started in the background, for tests that stop it from outside.
class RunningProgram {
  public:
    RunningProgram(const std::filesystem::path& directory, std::string_view input,
                   RunAs user = RunAs::this_user, const std::vector<std::string>& options = {});
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();
    void kill_now();
    ProgramRun wait();

  private:
    ScratchDirectory streams_;
    int process_ = -1;
};

// The id of the unprivileged user programs run as, for files that user must be able to write.
unsigned unprivileged_user_id();
bool running_as_root();
// True when the program runs through RUR_PROGRAM_LAUNCHER (the Windows executable under Wine).
bool runs_through_launcher();

// Writes `bytes` to `path`, creating the folders on the way.
void write_file(const std::filesystem::path& path, std::string_view bytes = {});
std::string read_file(const std::filesystem::path& path);

// Every file below `folder` (relative path to contents).
std::map<std::string, std::string> folder_contents(const std::filesystem::path& folder);

// `text` with every line feed turned into carriage return and line feed.
std::string crlf(std::string_view text);

}  // namespace e2e
