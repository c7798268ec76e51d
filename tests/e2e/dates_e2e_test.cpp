// --dates on real clips made by ffmpeg: exactly the journaled fields change, players read the
// shifted creation time and still decode the clip, and --undo gives back every byte and time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <sstream>

#include "e2e/program_runner.hpp"

namespace {

using namespace e2e;

// What a command prints, or nothing where the tool is not installed.
std::string output_of(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r"); pipe != nullptr) {
        for (int c = 0; (c = std::fgetc(pipe)) != EOF;) {
            text.push_back(static_cast<char>(c));
        }
        ::pclose(pipe);
    }
    return text;
}

// The journal's date fields by old name, with the clip's new name: the original bytes with
// them applied must give the clip.
struct Patched {
    std::string new_name;
    std::vector<std::pair<std::size_t, std::string>> fields;
};
std::map<std::string, Patched> journaled(const std::string& journal) {
    std::map<std::string, Patched> clips;
    std::istringstream lines(journal);
    std::string line;
    std::string old_name;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('\r'));
        if (line.starts_with("clip: ")) {
            old_name = line.substr(6);
        } else if (line.starts_with("  to: ")) {
            clips[old_name].new_name = line.substr(6);
        } else if (line.starts_with("  field: ")) {
            std::istringstream parts(line.substr(9));
            std::size_t offset = 0;
            std::string old_hex;
            std::string new_hex;
            parts >> offset >> old_hex >> new_hex;
            std::string bytes;
            for (std::size_t at = 0; at < new_hex.size(); at += 2) {
                bytes.push_back(static_cast<char>(std::stoi(new_hex.substr(at, 2), nullptr, 16)));
            }
            clips[old_name].fields.emplace_back(offset, bytes);
        }
    }
    return clips;
}

TEST(Dates, PatchOnlyJournaledFieldsAndUndoGivesEveryByteAndTimeBack) {
    ScratchDirectory scratch;
    const fs::path fixtures = RUR_FIXTURES;
    fs::create_directory("F");
    // Fixture, name, what its line says. The clips were made at 2025-11-21 15:40:10 UTC; the AVI
    // records it as local time 16:40:10.
    const std::vector<std::tuple<std::string, std::string, std::string>> table{
        {"moov_first.mp4", "2025_11_21_15_40_10.mp4", "file time and 6 recorded dates corrected"},
        {"moov_last.mp4", "2025_11_21_15_40_12.mp4", "file time and 6 recorded dates corrected"},
        {"quicktime_keys.mp4", "2025_11_21_15_40_13.mp4", "and 8 recorded dates corrected"},
        {"fragmented.mp4", "2025_11_21_15_40_11.mp4", "recorded dates corrected"},
        {"clip.m4v", "2025_11_21_15_40_14.m4v", "recorded dates corrected"},
        {"clip.avi", "2025_11_21_16_40_10.avi", "file time and 1 recorded date corrected"},
        // A car camera's GPS time in the container, its name from a wrong clock.
        {"moov_first.mp4", "2025_11_21_09_00_00.mp4", "is +24010 s off the name"},
        // A backup made with hard links shares the bytes.
        {"moov_last.mp4", "2025_11_21_09_10_00.mp4", "Dates left: it has more than one hard link"},
    };
    Files before;
    std::map<std::string, fs::file_time_type> times;
    for (const auto& [fixture, name, said] : table) {
        fs::copy_file(fixtures / fixture, "F/" + name);
        before[name] = ScratchDirectory::read_file("F/" + name);
    }
    fs::create_hard_link("F/2025_11_21_09_10_00.mp4", "backup.mp4");
    // A file time that agrees with the name is shifted exactly, its fraction of a second kept.
    const auto agreeing = std::chrono::file_clock::from_sys(
        std::chrono::sys_time<std::chrono::milliseconds>(std::chrono::milliseconds(1763739610250)));
    fs::last_write_time("F/2025_11_21_15_40_10.mp4", agreeing);
    for (const auto& [fixture, name, said] : table) {
        times[name] = fs::last_write_time("F/" + name);
    }
    const ProgramRun run = run_program(
        scratch.path(), "Y\nF\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n\n", false, {"--dates"});
    ASSERT_EQ(run.exit_status, 0) << run.error;
    for (const auto& [fixture, name, said] : table) {
        EXPECT_NE(run.output.find(said), std::string::npos) << name << run.output;
    }
    EXPECT_NE(run.output.find(" 6 clips' recorded dates were corrected, 2 left"),
              std::string::npos);
    const std::string journal = journal_in(scratch.path());
    const auto fields = journaled(ScratchDirectory::read_file(journal));
    const bool probe = output_of("ffprobe -version").starts_with("ffprobe");
    for (const auto& [old_name, patched] : fields) {
        const std::string& new_name = patched.new_name;
        std::string expected = before.at(old_name);
        for (const auto& [offset, bytes] : patched.fields) {
            expected.replace(offset, bytes.size(), bytes);
        }
        EXPECT_EQ(ScratchDirectory::read_file("F/" + new_name), expected) << new_name;
        if (probe && !new_name.ends_with(".avi") && !patched.fields.empty()) {
            const std::string quoted = "'F/" + new_name + "'";
            const std::string shown = output_of(
                "ffprobe -v error -show_entries "
                "format_tags=creation_time:stream_tags=creation_time "
                "-of csv=p=0 " +
                quoted);
            EXPECT_NE(shown.find("2025-11-21T14:25:10"), std::string::npos) << shown;
            EXPECT_EQ(shown.find("15:40:10"), std::string::npos) << shown;
            EXPECT_EQ(output_of("ffmpeg -v error -i " + quoted + " -f null -"), "") << new_name;
        }
    }
    EXPECT_EQ(fs::last_write_time("F/2025 11 21 14 25 10.mp4"),
              agreeing - std::chrono::minutes(75));
    EXPECT_EQ(ScratchDirectory::read_file("backup.mp4"), before.at("2025_11_21_09_10_00.mp4"));
    ASSERT_EQ(run_program(scratch.path(), "", false, {"--undo", journal}).exit_status, 0);
    for (const auto& [fixture, name, said] : table) {
        EXPECT_EQ(ScratchDirectory::read_file("F/" + name), before.at(name)) << name;
        EXPECT_EQ(fs::last_write_time("F/" + name), times.at(name)) << name;
    }
}

}  // namespace
