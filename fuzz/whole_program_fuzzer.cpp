// The whole dialogue over random console input, in a scratch folder holding a folder of clips.
// Every run must end through the orderly stop (status 0) or an input/output failure (status 127),
// never by returning, by another exception or by a signal; afterwards the clips' folder holds the
// same clips under whatever names, and only the listing, report and undo journal appear beside it.
// A typed folder name (the second line's first 50 bytes) holding "/" or ".." could send renaming
// to any folder of this machine, so such inputs are passed over unrun.
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "fuzz_support.hpp"
#include "lineio/channels.hpp"
#include "workflow/dialogue.hpp"
#include "workflow/renamer.hpp"

namespace {

namespace fs = std::filesystem;
using fuzz_support::require;

// Burst neighbours, both ends of the calendar, a leap day, a second of 60, and a date that is no
// day of the calendar.
const char* const clips[] = {"2024-03-01 00-00-07.mp4", "2024_03_01_00_00_30.MP4",
                             "2024-03-01 00-01-07.mp4", "2050-12-31 23-59-00.avi",
                             "2009-01-01 00-00-00.m4v", "2016-02-29 23-30-60.AVI",
                             "2013-02-29 10-00-00.M4V"};

bool could_leave_the_scratch_folder(std::string_view input) {
    const std::size_t line_end = input.find('\n');
    if (line_end == std::string_view::npos) {
        return false;
    }
    const std::string_view line = input.substr(line_end + 1);
    const std::string_view folder = line.substr(0, std::min(line.find('\n'), std::size_t{50}));
    return folder.find('/') != std::string_view::npos ||
           folder.find("..") != std::string_view::npos;
}

std::multiset<std::string> contents_of(const fs::path& folder) {
    std::multiset<std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        require(entry.is_regular_file(), "the clips' folder holds only files");
        std::ifstream file(entry.path(), std::ios::binary);
        contents.emplace(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return contents;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (could_leave_the_scratch_folder(input)) {
        return 0;
    }
    static const struct Scratch {
        std::string path = (fs::temp_directory_path() / "rur-fuzz-XXXXXX").string();
        Scratch() { require(::mkdtemp(path.data()) != nullptr, "a scratch folder can be made"); }
        ~Scratch() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } scratch;
    const fs::path run = fs::path(scratch.path) / "run";
    fs::remove_all(run);
    fs::create_directories(run / "Clips");
    const std::multiset<std::string> before(std::begin(clips), std::end(clips));
    for (const char* name : clips) {
        std::ofstream(run / "Clips" / name, std::ios::binary) << name;
    }
    test_support::FakeConsole console(input);
    // libFuzzer's own relative paths (corpus, artifacts) must keep meaning what they meant.
    const fs::path previous = fs::current_path();
    fs::current_path(run);
    std::optional<int> end;
    {
        lineio::Channels channels(console);
        workflow::RealRun renamer(channels, "DoridivezizoziRUR");
        end = test_support::program_end_of(
            [&] { workflow::run_main_dialogue(channels, renamer, "DoridivezizoziRUR"); });
    }
    fs::current_path(previous);
    require(end == lineio::orderly_exit_status || end == lineio::failure_exit_status,
            "the dialogue always ends the program, with status 0 or 127");
    require(end == lineio::orderly_exit_status || !console.error.empty(),
            "a failure writes its diagnostic");
    require(contents_of(run / "Clips") == before, "every clip is still there, exactly once");
    const std::set<std::string> allowed{"Clips", "list.txt", "DedUzarodivedizidUZOVU.txt"};
    for (const auto& entry : fs::directory_iterator(run)) {
        const std::string name = entry.path().filename().string();
        require(
            allowed.contains(name) || name.starts_with("DoridivezizoziRUR-undo-"),
            "nothing but the listing, the report and the undo journal appears beside the clips");
    }
    return 0;
}
