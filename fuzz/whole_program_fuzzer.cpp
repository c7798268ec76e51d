// The whole dialogue over random console input, in a scratch folder holding a folder of clips.
//
// Every run must end through the orderly stop (status 0) or an input/output failure (status 127),
// never by returning, by another exception or by a signal; afterwards the clips' folder holds the
// same clips as before, under whatever names, and nothing beside the listing and the report has
// appeared around it.
//
// The folder name the input types is the second line's first 50 bytes. An input whose folder name
// holds "/" or ".." could send the program to any folder of this machine, where renaming would do
// real harm; such inputs are passed over unrun. Every other name stays inside the scratch folder.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "lineio/channels.hpp"
#include "support/fake_console.hpp"
#include "workflow/dialogue.hpp"
#include "workflow/renamer.hpp"

namespace {

namespace fs = std::filesystem;
using fuzz_support::require;

constexpr std::size_t folder_input_width = 50;

// Clip names and their contents: burst neighbours, both ends of the calendar, a leap day, a
// second of 60, and a date that is no day of the calendar.
const std::map<std::string, std::string> clips{
    {"2024-03-01 00-00-07.mp4", "clip 0"}, {"2024_03_01_00_00_30.MP4", "clip 1"},
    {"2024-03-01 00-01-07.mp4", "clip 2"}, {"2050-12-31 23-59-00.avi", "clip 3"},
    {"2009-01-01 00-00-00.m4v", "clip 4"}, {"2016-02-29 23-30-60.AVI", "clip 5"},
    {"2013-02-29 10-00-00.M4V", "clip 6"},
};
const std::set<std::string> allowed_beside_clips{"Clips", "list.txt", "DedUzarodivedizidUZOVU.txt"};

// The folder name the dialogue would read from `input`, when it reads one.
std::optional<std::string_view> typed_folder(std::string_view input) {
    const std::size_t first_line_end = input.find('\n');
    if (first_line_end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view second_line = input.substr(first_line_end + 1);
    return second_line.substr(
        0, std::min({second_line.find('\n'), folder_input_width, second_line.size()}));
}

bool could_leave_the_scratch_folder(std::string_view input) {
    const auto folder = typed_folder(input);
    return folder.has_value() && (folder->find('/') != std::string_view::npos ||
                                  folder->find("..") != std::string_view::npos);
}

// A folder of its own under the system's temporary folder, removed when the process ends.
const fs::path& scratch() {
    static const struct Scratch {
        fs::path path;
        Scratch() {
            std::string pattern = (fs::temp_directory_path() / "rur-fuzz-XXXXXX").string();
            require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
            path = pattern;
        }
        ~Scratch() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } folder;
    return folder.path;
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
    const fs::path run = scratch() / "run";
    fs::remove_all(run);
    fs::create_directories(run / "Clips");
    std::multiset<std::string> before;
    for (const auto& [name, content] : clips) {
        std::ofstream(run / "Clips" / name, std::ios::binary) << content;
        before.insert(content);
    }

    test_support::FakeConsole console(input);
    std::optional<int> end;
    {
        // libFuzzer's own relative paths (corpus, artifacts) must keep meaning what they meant.
        const fs::path previous = fs::current_path();
        fs::current_path(run);
        lineio::Channels channels(console);
        workflow::RealRun renamer(channels);
        end = fuzz_support::program_end_of([&] { workflow::run_main_dialogue(channels, renamer); });
        fs::current_path(previous);
    }
    require(end.has_value(), "the dialogue never returns: it always ends the program");
    require(*end == lineio::orderly_exit_status || *end == lineio::failure_exit_status,
            "the program ends with status 0 or 127");
    require(*end == lineio::orderly_exit_status || !console.error.empty(),
            "a failure writes its diagnostic");

    require(contents_of(run / "Clips") == before, "every clip is still there, exactly once");
    for (const auto& entry : fs::directory_iterator(run)) {
        const std::string name = entry.path().filename().string();
        require(allowed_beside_clips.contains(name) || name.starts_with("DoridivezizoziRUR-undo-"),
                "nothing but the listing, the report and the undo journal appears beside the "
                "clips");
    }
    return 0;
}
