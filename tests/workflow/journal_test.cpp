// A journal is input from outside the program: only what a run of this program writes is taken.
#include "workflow/journal.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"

namespace {

const std::string head =
    "DoridivezizoziRUR undo journal\r\nversion: 2\r\nhint\r\nfolder: F\r\nfolder number: 7\r\n"
    "correction: -60\r\nidentity: number\r\n\r\n";
std::string clip(const std::string& old_name, const std::string& new_name) {
    return "clip: " + old_name + "\r\n  is: 12\r\n  to: " + new_name + "\r\n";
}
const std::string plain = clip("2024_03_01_05_00_00.mp4", "2024 03 01 04 00 00.mp4");

TEST(Journal, TakesWhatARunWritesAndRefusesEveryOtherEntry) {
    struct Row {
        const char* what;
        std::string text;
        std::size_t clips;  // taken
        std::size_t refused;
    };
    const Row rows[] = {
        {"a run",
         head + plain +
             "renamed: 2024_03_01_05_00_00.mp4\r\n     as: 2024 03 01 04 00 "
             "07.mp4\r\nend of run: 1 files renamed\r\n",
         1, 0},
        {"a byte order mark", "\xEF\xBB\xBF" + head + plain, 1, 0},
        {"a last line cut by a power cut", head + plain + "clip: 2024_03_01_06", 1, 0},
        {"a folder above", head + clip("../home/.profile", "2024 03 01 04 00 00.mp4"), 0, 1},
        {"an absolute path", head + clip("/etc/2024_03_01_05_00.mp4", "x"), 0, 1},
        {"a drive", head + clip("C:024_03_01_05_00_00.mp4", "2024 03 01 04 00 00.mp4"), 0, 1},
        {"a backslash", head + clip("2024\\03_01_05_00_00.mp4", "2024 03 01 04 00 00.mp4"), 0, 1},
        {"another correction", head + clip("2024_03_01_05_00_00.mp4", "2024 03 01 03 00 00.mp4"), 0,
         1},
        {"a name taken that no burst gives",
         head + plain + "renamed: 2024_03_01_05_00_00.mp4\r\n     as: .bashrc\r\n", 1, 1},
        {"an unknown line", head + plain + "rename: a\r\n", 1, 1},
        {"the same clip twice", head + plain + plain, 1, 1},
        {"dates", head + plain + "  size: 99\r\n  field: 48 0a0b 0c0d\r\n  time: 5 -7\r\n", 1, 0},
        {"a date field past the clip", head + plain + "  size: 9\r\n  field: 8 0a0b 0c0d\r\n", 1,
         1},
        {"a date field of two lengths", head + plain + "  size: 9\r\n  field: 1 0a 0c0d\r\n", 1, 1},
        {"a date line of no entry", head + "  time: 1 2\r\n" + plain, 1, 1},
        {"a correction that is no number",
         "DoridivezizoziRUR undo journal\r\nversion: 2\r\nfolder: F\r\nfolder number: 7\r\n"
         "correction: -60x\r\nidentity: number\r\n\r\n" +
             plain,
         0, 1},
        {"a head without the folder's number",
         "DoridivezizoziRUR undo journal\r\nversion: 2\r\nfolder: F\r\ncorrection: -60\r\n"
         "identity: number\r\n\r\n" +
             plain,
         0, 1},
        {"a head without its correction",
         "DoridivezizoziRUR undo journal\r\nversion: 2\r\nfolder: F\r\n\r\n" + plain, 0, 1},
        {"1.1.0 in one folder",
         "DoridivezizoziRUR undo journal\r\nrenamed: F/a.mp4\r\n     to: F/b.mp4\r\n", 1, 0},
        {"1.1.0 in two folders",
         "DoridivezizoziRUR undo journal\r\nrenamed: F/a.mp4\r\n     to: G/b.mp4\r\n", 0, 1},
    };
    for (const Row& row : rows) {
        workflow::Journal journal;
        const workflow::JournalProblems problems = workflow::read_journal(row.text, journal);
        EXPECT_EQ(journal.clips.size(), row.clips) << row.what;
        EXPECT_EQ(problems.refused.size(), row.refused) << row.what;
    }
}

TEST(Journal, OfAnUnknownVersionIsNamedAndNotRead) {
    workflow::Journal journal;
    const auto problems = workflow::read_journal(
        "DoridivezizoziRUR undo journal\r\nversion: 3\r\nfolder: F\r\n\r\n" + plain, journal);
    EXPECT_EQ(problems.unknown_version, "3");
    EXPECT_TRUE(journal.clips.empty());
}

// A run that renamed nothing leaves no journal; one that renamed keeps its journal, ended.
TEST(JournalWriter, KeepsAJournalOnlyOfRenames) {
    const test_support::ScratchDirectory scratch;
    test_support::FakeConsole console;
    lineio::Channels channels(console);
    for (const bool renamed : {false, true}) {
        workflow::JournalWriter writer(channels, "program");
        writer.start({"F", 7, -60, true});
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
            EXPECT_TRUE(
                workflow::read_journal(test_support::ScratchDirectory::read_file(name), journal)
                    .refused.empty());
            EXPECT_TRUE(journal.ended);
            EXPECT_EQ(journal.clips.size(), 1U);
        }
    }
}

TEST(Journal, OfNoClipIsNone) {
    for (const std::string& text :
         {std::string(), std::string("DoridivezizoziRUR undo journal\r\n"), head,
          std::string("a letter\r\n") + plain}) {
        workflow::Journal journal;
        EXPECT_TRUE(workflow::read_journal(text, journal).not_a_journal) << text;
    }
}

}  // namespace
