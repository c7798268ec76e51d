// The renaming pass over a folder of the test's own, which keeps its names in memory and records
// what was asked of it; the preview, over the same folder, must foretell every outcome.
#include "workflow/renaming_pass.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <string>
#include <unordered_set>
#include <vector>

#include "support/fake_console.hpp"

namespace {

using workflow::FileIdentity;
using workflow::FolderEntry;

// Names in memory, by key (folded where the folder ignores case), with each name and its file's
// number, 0 for one that cannot be told; every change is refused with `refusal` when not 0.
class FakeFolder final : public workflow::ClipFolder {
  public:
    std::map<std::string, std::pair<std::string, std::uint64_t>> names;
    bool ignores_case = false;
    int refusal = 0, renames_asked = 0;

    void add(const std::string& name, std::uint64_t number) { names[key(name)] = {name, number}; }
    std::string listing() const {
        std::string text;
        list([&](const FolderEntry& entry) { text.append(entry.name).append("\r\n"); });
        return text;
    }

    int open(const std::string& /*path*/, bool /*follow*/) override { return 0; }
    bool keeps_file_numbers() const override { return true; }
    bool names_may_change() const override { return refusal == 0; }
    bool renames_atomically() const override { return true; }
    int identify_self(FileIdentity& identity) const override { return identify(".", identity); }
    int identify(const std::string& name, FileIdentity& identity) const override {
        const auto found = names.find(key(name));
        identity.index = found == names.end() ? 1 : found->second.second;
        identity.links = static_cast<std::uint64_t>(std::count_if(
            names.begin(), names.end(),
            [&](const auto& other) { return other.second.second == identity.index; }));
        const bool unknown = found == names.end() ? name != "." : identity.index == 0;
        return unknown ? platform::missing_name_error : 0;
    }
    int exists(const std::string& name, bool& found) const override {
        found = names.contains(key(name));
        return 0;
    }
    int list(const std::function<void(const FolderEntry&)>& visit) const override {
        for (const auto& [_, file] : names) {
            visit({file.first, file.second});
        }
        return 0;
    }
    int rename(const std::string& from, const std::string& to) override {
        ++renames_asked;
        const bool taken = names.contains(key(to)) && key(from) != key(to);
        if (refusal != 0 || taken) {
            return taken ? platform::taken_name_error : refusal;
        }
        const std::uint64_t number = names.at(key(from)).second;
        names.erase(key(from));
        add(to, number);
        return 0;
    }
    int remove_second_name(const std::string& name, const std::string& kept) override {
        FileIdentity removed, other;
        if (refusal != 0 || identify(name, removed) != 0 || identify(kept, other) != 0 ||
            removed.index != other.index) {
            return platform::refused_change_error;
        }
        names.erase(key(name));
        return 0;
    }

  private:
    std::string key(std::string name) const {
        for (char& character : name) {
            character = static_cast<char>(ignores_case ? std::tolower(character) : character);
        }
        return name;
    }
};

// A real run's bookkeeping, told as "+path;" for a renamed clip and "-path;" for one left.
class RecordingRun final : public workflow::Renamer {
  public:
    RecordingRun(workflow::ClipFolder& folder, std::string listing)
        : folder_(folder), listing_(std::move(listing)) {}
    workflow::ClipFolder& clip_folder() override { return folder_; }
    std::string* listing_in_memory() override { return &listing_; }
    void start(const workflow::RenamingJob&, const workflow::FolderFacts&) override {}
    void before_batch(std::span<const workflow::JournalClip>) override {}
    void renamed(const std::string&, const std::string&, const std::string&) override {}
    void removed(const std::string& old_name) override { outcomes += "removed " + old_name; }
    void outcome(bool renamed, std::string_view path, std::string_view, std::string_view) override {
        outcomes.append(renamed ? "+" : "-").append(path).append(";");
    }
    void finish(std::int32_t renamed_count) override { count = renamed_count; }

    std::string outcomes;
    std::int32_t count = -1;

  private:
    workflow::ClipFolder& folder_;
    std::string listing_;
};

struct PassRow {
    const char* what;
    std::vector<std::pair<std::string, std::uint64_t>> files;  // name and file number
    std::int32_t correction;
    bool ignores_case;
    int refusal;
    const char* outcomes;
    std::int32_t count;
    int renames_asked;
};

// Runs the pass over the folder `F` with `renamer`, whose output goes to `channels`.
void run_pass(lineio::Channels& channels, workflow::Renamer& renamer, std::int32_t correction) {
    const lineio::FixedText<workflow::folder_name_width> folder("F");
    const timestamp::Timestamp camera{2025, 11, 21, 15, 40, 0};
    const std::int32_t lowest_year = 2009;
    workflow::ListedFiles listed;
    const std::unordered_set<std::string> none;
    run_renaming_pass(channels, {folder, 1, camera, camera, correction, lowest_year, listed, none},
                      renamer);
}

// The preview's lines, told as RecordingRun tells outcomes.
std::string foretold(const std::string& output) {
    std::string said;
    const std::regex line(" Dry run: (would|could not) be renamed (.*)\r\n");
    for (std::sregex_iterator at(output.begin(), output.end(), line), end; at != end; ++at) {
        said.append((*at)[1] == "would" ? "+" : "-").append((*at)[2]).append(";");
    }
    return said;
}

TEST(RenamingPass, RenamesAsTheFolderAllowsAndThePreviewForetellsIt) {
    const std::string a = "2025_11_21_15_40_10.mp4";
    const std::string dashed = "2025-11-21-15-40-10.mp4";
    // clang-format off
    const PassRow rows[] = {
        {"a burst: the second clip takes the first burst number", {{a, 2}, {dashed, 3}}, -75,
         false, 0, "+F/2025 11 21 14 25 10.mp4;+F/2025 11 21 14 25 01.mp4;", 2, 3},
        {"a name held by a clip later in the listing is a burst, not a wait",
         {{"2025 11 21 15 40 10.mp4", 2}, {"2025 11 21 15 41 10.mp4", 3}}, 1, false, 0,
         "+F/2025 11 21 15 41 01.mp4;+F/2025 11 21 15 42 10.mp4;", 2, 3},
        {"two names of one file: the second is removed, the file counted once",
         {{a, 2}, {dashed, 2}}, -75, false, 0,
         "+F/2025 11 21 14 25 10.mp4;removed 2025_11_21_15_40_10.mp4+F/2025 11 21 14 25 10.mp4;", 1, 1},
        {"a second name removed frees its name for a later clip",
         {{"2025 11 21 15 30 10.mp4", 2}, {"2025 11 21 15 40 10.mp4", 2}, {"2025 11 21 15 41 10.mp4", 3}},
         -1, false, 0, "+F/2025 11 21 15 29 10.mp4;removed 2025 11 21 15 40 10.mp4"
         "+F/2025 11 21 15 29 10.mp4;+F/2025 11 21 15 40 10.mp4;", 2, 2},
        {"names that differ in case only are one name where the folder ignores case",
         {{a, 2}, {"2025-11-21-15-40-10.MP4", 3}}, -75, true, 0,
         "+F/2025 11 21 14 25 10.MP4;+F/2025 11 21 14 25 01.mp4;", 2, 3},
        {"a clip whose identity cannot be read is left", {{a, 0}, {dashed, 3}}, -75, false, 0,
         "+F/2025 11 21 14 25 10.mp4;-F/2025_11_21_15_40_10.mp4;", 1, 1},
        {"a folder that refuses every change renames nothing, and tries no burst",
         {{a, 2}, {"notes.txt", 4}}, -75, false, platform::refused_change_error,
         "-F/2025_11_21_15_40_10.mp4;-F/notes.txt;", 0, 1},
    };
    // clang-format on
    for (const PassRow& row : rows) {
        FakeFolder real, pictured;
        for (FakeFolder* folder : {&real, &pictured}) {
            folder->ignores_case = row.ignores_case;
            folder->refusal = row.refusal;
            for (const auto& [name, number] : row.files) {
                folder->add(name, number);
            }
        }
        const std::string before = real.listing();

        test_support::FakeConsole console({}, false);
        lineio::Channels channels(console);
        RecordingRun run(real, before);
        run_pass(channels, run, row.correction);
        EXPECT_EQ(run.outcomes, row.outcomes) << row.what;
        EXPECT_EQ(run.count, row.count) << row.what;
        EXPECT_EQ(real.renames_asked, row.renames_asked) << row.what;
        // A clip left is told of on the error channel; a row with none leaves it empty.
        EXPECT_NE(console.error.empty(), std::regex_search(row.outcomes, std::regex("-F/2")))
            << row.what;

        // The preview says the same of every clip, and changes nothing.
        test_support::FakeConsole preview_console({}, false);
        lineio::Channels preview_channels(preview_console);
        workflow::DryRun preview(preview_channels, pictured);
        *preview.listing_in_memory() = before;
        run_pass(preview_channels, preview, row.correction);
        test_support::program_end_of([&] { preview_channels.finish(0); });
        std::string expected = row.outcomes;
        for (std::size_t at = 0; (at = expected.find("removed ")) != std::string::npos;) {
            expected.erase(at, expected.find('+', at) - at);
        }
        EXPECT_EQ(foretold(preview_console.output), expected) << row.what;
        EXPECT_EQ(pictured.listing(), before) << row.what;
    }
}

}  // namespace
