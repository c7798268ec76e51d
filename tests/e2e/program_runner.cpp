#include "program_runner.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "rur-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch directory");
    }
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    // A test may have taken the write permission away; give it back so that all can go.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
        if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void write_file(const fs::path& path, std::string_view bytes) {
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string read_file(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::map<std::string, std::string> folder_contents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            contents[fs::relative(entry.path(), folder).string()] = read_file(entry.path());
        }
    }
    return contents;
}

std::string crlf(std::string_view text) {
    std::string converted;
    converted.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            converted += '\r';
        }
        converted += c;
    }
    return converted;
}

namespace {

const char* environment_variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

std::vector<std::string> program_command() {
    std::vector<std::string> command;
    if (const char* launcher = environment_variable("RUR_PROGRAM_LAUNCHER")) {
        command.emplace_back(launcher);
    }
    const char* program = environment_variable("RUR_PROGRAM");
    // The program starts in its scratch directory, so its own path must not be relative.
    const fs::path path = fs::absolute(program != nullptr ? program : RUR_PROGRAM_PATH);
    // Started through a launcher, a missing program would only show as the launcher's complaint
    // in every test's error stream.
    if (!fs::is_regular_file(path)) {
        throw std::runtime_error("the program to test is missing: " + path.string());
    }
    command.push_back(path.string());
    return command;
}

}  // namespace

bool runs_through_launcher() {
    return environment_variable("RUR_PROGRAM_LAUNCHER") != nullptr;
}

unsigned unprivileged_user_id() {
    return 65534;
}
bool running_as_root() {
    return geteuid() == 0;
}

RunningProgram::RunningProgram(const fs::path& directory, std::string_view input, RunAs user,
                               const std::vector<std::string>& options) {
    const fs::path input_path = streams_.path() / "input";
    write_file(input_path, input);
    const std::string output_path = (streams_.path() / "output").string();
    const std::string error_path = (streams_.path() / "error").string();
    std::vector<std::string> command = program_command();
    command.insert(command.end(), options.begin(), options.end());
    std::vector<char*> arguments;
    for (const auto& word : command) {
        arguments.push_back(const_cast<char*>(word.c_str()));
    }
    arguments.push_back(nullptr);
    const bool drop_privileges = user == RunAs::unprivileged_user && running_as_root();

    process_ = fork();
    if (process_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (process_ == 0) {
        const int in = open(input_path.c_str(), O_RDONLY);
        const int out = open(output_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = open(error_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0 || chdir(directory.c_str()) != 0) {
            _exit(126);
        }
        if (drop_privileges &&
            (setgid(unprivileged_user_id()) != 0 || setuid(unprivileged_user_id()) != 0)) {
            _exit(126);
        }
        execvp(arguments[0], arguments.data());
        _exit(126);
    }
}

RunningProgram::~RunningProgram() {
    if (process_ > 0) {
        kill_now();
        wait();
    }
}

void RunningProgram::kill_now() {
    if (process_ > 0) {
        ::kill(process_, SIGKILL);
    }
}

ProgramRun RunningProgram::wait() {
    int status = 0;
    while (waitpid(process_, &status, 0) < 0) {
    }
    process_ = -1;
    ProgramRun run;
    if (WIFEXITED(status)) {
        run.exit_status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
    run.output = read_file(streams_.path() / "output");
    run.error = read_file(streams_.path() / "error");
    return run;
}

ProgramRun run_program(const fs::path& directory, std::string_view input, RunAs user,
                       const std::vector<std::string>& options) {
    RunningProgram program(directory, input, user, options);
    return program.wait();
}

}  // namespace e2e
