// A journal is input from outside the program: only what a run of this program writes is taken.
#include "workflow/journal.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <tuple>

#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"

namespace {

const std::string head =
    "DoridivezizoziRUR undo journal\r\nversion: 2\r\nhint\r\nfolder: F\r\nfolder number: 7\r\n"
    "correction: -60\r\nidentity: number\r\n\r\n";
std::string clip(const std::string& old_name, const std::string& new_name) {
    return "clip: " + old_name + "\r\n  is: 12\r\n  to: " + new_name + "\r\n";
}
const std::string old_name = "2024_03_01_05_00_00.mp4", corrected = "2024 03 01 04 00 00.mp4";
const std::string plain = clip(old_name, corrected), too_long = std::string(17 << 20, 'x') + "\n";
std::string edited(const std::string& line, const std::string& replacement) {
    return std::regex_replace(head, std::regex(line), replacement);
}
const std::string windows = edited("\r\n\r\n", "\r\nsystem: Windows\r\n\r\n");
const std::string dates_only = edited("\r\n\r\n", "\r\ndates only: yes\r\n\r\n");
std::string legacy(const std::string& from, const std::string& to) {
    return "DoridivezizoziRUR undo journal\r\nrenamed: F/" + from + "\r\n     to: F/" + to + "\r\n";
}

TEST(Journal, TakesWhatARunWritesAndRefusesEveryOtherEntry) {
    struct Row {
        const char* what;
        std::string text;
        std::size_t clips, refused;     // taken, refused
        std::string_view refusal = "";  // what the last refusal says, in part
    };
    // clang-format off
    const Row rows[] = {
        {"a run", head + plain + "renamed: " + old_name + "\r\n     as: 2024 03 01 04 00 40.mp4\r\n"
                  "end of run: 1 files renamed\r\n", 1, 0},
        {"a byte order mark", "\xEF\xBB\xBF" + head + plain, 1, 0},
        {"another title", edited("DoridivezizoziRUR undo", "Another") + plain, 0, 0},
        {"a last line cut by a power cut", head + plain + "clip: 2024_03_01_06", 1, 0},
        {"a folder above", head + clip("../home/.profile", corrected), 0, 1},
        {"an absolute path", head + clip("/etc/2024_03_01_05_00.mp4", "x"), 0, 1},
        {"a drive", head + clip("C:024_03_01_05_00_00.mp4", corrected), 0, 1},
        {"a colon from Windows", windows + clip("2024_03_01_05:00_00.mp4", corrected), 0, 1},
        {"a system of no name", edited("\r\n\r\n", "\r\nsystem: \r\n\r\n") + plain, 0, 1},
        {"another correction", head + clip(old_name, "2024 03 01 03 00 00.mp4"), 0, 1},
        {"as no burst", head + plain + "renamed: " + old_name + "\r\n     as: .bashrc\r\n", 1, 1},
        {"an unknown line", head + plain + "rename: a\r\n", 1, 1},
        {"the same clip twice", head + plain + plain, 1, 1},
        {"an entry without its identity", head + "clip: " + old_name + "\r\n  to: " + corrected +
         "\r\n  to: " + corrected + "\r\n", 0, 3},
        {"dates", head + plain + "  size: 99\r\n  field: 48 0a0b 0c0d\r\n  time: 5 -7\r\n", 1, 0},
        {"--dates", dates_only + clip(corrected, corrected) + "  size: 9\r\n  time: 5 7\r\n", 1, 0},
        {"dates only, renamed", dates_only + plain, 0, 1}, {"from Windows", windows + plain, 1, 0},
        {"a clip kept its name", head + clip(corrected, corrected), 0, 1},
        {"dates only, or not", edited("\r\n\r\n", "\r\ndates only: no\r\n\r\n") + plain, 0, 1},
        {"a field past the clip", head + plain + "  size: 9\r\n  field: 8 0a0b 0c0d\r\n", 1, 1},
        {"a field without its new bytes", head + plain + "  size: 9\r\n  field: 1 0a\r\n", 1, 1},
        {"a field of two lengths", head + plain + "  size: 9\r\n  field: 1 0a 0c0d\r\n", 1, 1},
        {"a field not in hex", head + plain + "  size: 9\r\n  field: 1 0g 0c\r\n", 1, 1},
        {"a time of one number", head + plain + "  size: 9\r\n  time: 5\r\n", 1, 1},
        {"a date line of no entry", head + "  time: 1 2\r\n" + plain, 1, 1},
        {"too long", head + plain + too_long, 1, 1, "line 12: the"},
        {"a head without its folder", edited("folder: F\r\n", "") + plain, 0, 1},
        {"a correction of no number", edited("correction: -60", "correction: -60x") + plain, 0, 1},
        {"a head without the folder number", edited("folder number: 7\r\n", "") + plain, 0, 1},
        {"a head without its correction", edited("correction: -60\r\n", "") + plain, 0, 1, "head"},
        {"an identity of no words", edited("identity: number", "identity: ") + plain, 0, 1},
        {"a head without its identity", edited("identity: number\r\n", "") + plain, 0, 1},
        {"1.1.0 in one folder", legacy(old_name, corrected), 1, 0},
        {"1.1.0 too long", legacy(old_name, corrected) + too_long, 1, 1, "line 4:"},
        {"1.1.0 cut", legacy(old_name, "").insert(32, too_long), 0, 1},
        {"1.1.0, burst 7", legacy("2024-03-01-05-00-00.mp4", "2024 03 01 04 00 07.mp4"), 1, 0},
        {"1.1.0, no clip's name", legacy(old_name, "2024 03 01 04 0x 00.mp4"), 0, 1, "not a clip"},
        {"1.1.0, another extension", legacy(old_name, "2024 03 01 04 00 00.avi"), 0, 1},
        {"1.1.0 whose pairs disagree", legacy(old_name, corrected) +
         legacy(old_name, "2024 03 01 03 00 00.mp4").substr(32), 1, 1},
        {"1.1.0 in two folders", std::regex_replace(legacy(old_name, corrected), std::regex("o: F"),
         "o: G"), 0, 1},
        {"1.1.0 in no folder", "DoridivezizoziRUR undo journal\r\nrenamed: " + old_name +
         "\r\n     to: " + corrected + "\r\n", 1, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        workflow::Journal journal;
        const workflow::JournalProblems problems = workflow::read_journal(row.text, journal);
        EXPECT_EQ(journal.clips.size(), row.clips) << row.what;
        EXPECT_EQ(problems.refused.size(), row.refused) << row.what;
        const std::string last = problems.refused.empty() ? "" : problems.refused.back();
        EXPECT_NE(last.find(row.refusal), std::string::npos) << row.what;
        EXPECT_FALSE(journal.encoded_again) << row.what;  // so an undo may note its placeholders
    }
}

// A clip whose time --dates set is known by the time it had before, within a FAT disk's 2 s.
TEST(Journal, KnowsAPatchedClipByItsTimeBefore) {
    workflow::JournalClip clip{"a", "12 5000000000", "b", "", ""};
    clip.old_time = 5'000'000'000;
    clip.new_time = 9'000'000'000;
    const std::tuple<bool, std::int64_t, bool> rows[] = {
        {true, 7'100'000'000, true}, {true, 11'000'000'000, false}, {false, 9'000'000'000, false}};
    for (const auto& [dated, modified, matches] : rows) {
        clip.dated = dated;
        platform::FileIdentity file{.size = 12, .modified = modified};
        EXPECT_EQ(workflow::is_journaled_clip(clip, file, workflow::IdentityKind::size_and_time),
                  matches)
            << modified;
    }
}

// A run that renamed nothing leaves no journal; one that renamed keeps its journal, ended.
TEST(JournalWriter, KeepsAJournalOnlyOfRenames) {
    const test_support::ScratchDirectory scratch;
    test_support::FakeConsole console;
    lineio::Channels channels(console);
    for (const bool renamed : {false, true}) {
        workflow::JournalWriter writer(channels, "program");
        writer.start({"F", 7, -60, workflow::IdentityKind::number_and_birth});
        const workflow::JournalClip entry{"2024_03_01_05_00_00.mp4", "12",
                                          "2024 03 01 04 00 00.mp4", "", ""};
        writer.write_ahead({&entry, 1});
        const std::string name = writer.name();
        if (renamed) {
            writer.renamed(entry.old_name, entry.new_name, entry.new_name);
        }
        writer.close(renamed ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(name), renamed);
        if (renamed) {
            workflow::Journal journal;
            const std::string text = test_support::ScratchDirectory::read_file(name);
            EXPECT_TRUE(workflow::read_journal(text, journal).refused.empty());
            EXPECT_EQ(text.find("renamed: "), std::string::npos);  // renamed as planned
            EXPECT_TRUE(journal.ended && journal.clips.size() == 1);
        }
    }
}

TEST(Journal, ShowsARefusedLineCutShortWithItsLength) {
    EXPECT_EQ(workflow::shortened(std::string(200, 'a')), std::string(200, 'a'));
    const auto accents = std::regex_replace(std::string(201, 'e'), std::regex("e"), "\xC3\xA9");
    EXPECT_EQ(workflow::shortened(accents),
              accents.substr(0, 400) + "\xE2\x80\xA6 (201 characters)");
}

TEST(Journal, TakesANameOnlyWhereItStaysOneEntry) {
    using workflow::NameRules;
    // A name, and whether it is plain under POSIX's rules and under Windows' (which drop a
    // trailing dot or blank, so that the name would be another file's).
    const std::tuple<std::string, bool, bool> names[] = {
        {"a.mp4", true, true}, {"a.", true, false},
        {"a ", true, false},   {"a:b", true, false},
        {"a\\b", true, false}, {"a*", true, false},
        {"a/b", false, false}, {"..", false, false},
        {"", false, false},    {std::string("a\0b", 3), false, false}};
    for (const auto& [name, posix, windows] : names) {
        // Read on Windows, a journal from POSIX is held to Windows' rules as well.
        EXPECT_EQ(workflow::is_plain_name(name, NameRules::posix),
                  workflow::own_name_rules == NameRules::posix ? posix : windows)
            << name;
        EXPECT_EQ(workflow::is_plain_name(name, NameRules::windows), windows) << name;
    }
}

TEST(Journal, KeepsTheHighHalfOfAReFSNumber) {
    EXPECT_EQ(
        workflow::identity_text({1, ~0ULL, ~0ULL, 0, ~0ULL, INT64_MIN},  // at their longest
                                workflow::IdentityKind::number_size_and_time),
        "18446744073709551615.18446744073709551615 18446744073709551615 -9223372036854775808");
    EXPECT_EQ(workflow::identity_text({1, 7}, workflow::IdentityKind::number), "7");
    EXPECT_EQ(workflow::identity_text({1, 10, 0, 0, 99, 100, 100000000, 0, true},
                                      workflow::IdentityKind::number_and_birth),
              "10 100000000");
    EXPECT_EQ(
        workflow::identity_text({1, 9, 0, 0, 99, -100}, workflow::IdentityKind::size_and_time),
        "99 -100");
}

TEST(Journal, OfNoClipIsNoneAndOfAnUnknownVersionIsNamed) {
    for (const std::string& text :
         {std::string(), std::string("DoridivezizoziRUR undo journal\r\n"), head,
          std::string("a letter\r\n") + plain}) {
        workflow::Journal journal;
        EXPECT_TRUE(workflow::read_journal(text, journal).not_a_journal) << text;
    }
    workflow::Journal journal;
    const auto problems = workflow::read_journal(
        "DoridivezizoziRUR undo journal\r\nversion: 3\r\nfolder: F\r\n\r\n" + plain, journal);
    EXPECT_EQ(problems.unknown_version, "3");
    EXPECT_FALSE(problems.not_a_journal);  // dropped on the program, it is told how to be undone
    EXPECT_TRUE(journal.clips.empty());
}

}  // namespace
