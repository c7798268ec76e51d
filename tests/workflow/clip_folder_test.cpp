// The preview's picture of a folder answers as the folder would, case-insensitive ones included.
#include "workflow/clip_folder.hpp"

#include "workflow/clip_dates_run.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scratch_directory.hpp"

namespace {

using test_support::ScratchDirectory;

#ifdef _WIN32
constexpr bool others_kept_out = true;  // of a clip held open to be patched
#else
constexpr bool others_kept_out = false;
#endif

TEST(FolderPicture, TakesNamesAsTheFolderDoes) {
    const ScratchDirectory scratch;
    for (const char* name : {"Az.mp4", "bY.mp4", "Cx.mp4"}) {
        ScratchDirectory::write_file(name);
    }
#ifdef _WIN32
    const bool case_blind = true;  // the system's own folders ignore case
#else
    // Two names of one file stand for a folder that finds "aZ.MP4" under "Az.mp4".
    std::filesystem::create_hard_link("Az.mp4", "aZ.MP4");
    const bool case_blind = false;
#endif
    workflow::RealFolder folder([](const std::string&, const std::string&) { return 0; });
    ASSERT_EQ(folder.open("", true), 0);
    EXPECT_TRUE(workflow::folder_ignores_case(folder, "Az.mp4"));
    EXPECT_EQ(workflow::folder_ignores_case(folder, "bY.mp4"), case_blind);
    for (const bool ignores_case : {false, true}) {
        workflow::FolderPicture picture(folder);
        picture.take_case_as(ignores_case);
        EXPECT_EQ(picture.rename("bY.mp4", "QZA.mp4"), 0);
        EXPECT_EQ(platform::is_taken_name_refusal(picture.rename("Cx.mp4", "qza.MP4")),
                  ignores_case);
        EXPECT_TRUE(platform::is_taken_name_refusal(picture.rename("Az.mp4", "QZA.mp4")));
        EXPECT_NE(picture.rename("bY.mp4", "R.mp4"), 0) << "bY.mp4 is gone from the picture";
    }
}

// A second name goes only while it and the name kept are one file: never another file's name.
TEST(RealFolder, RemovesOnlyASecondNameOfTheSameFile) {
    const ScratchDirectory scratch;
    ScratchDirectory::write_file("kept.mp4", "clip");
    ScratchDirectory::write_file("other.mp4", "another clip");
    std::filesystem::create_hard_link("kept.mp4", "second.mp4");
    std::filesystem::create_hard_link("other.mp4", "backup of other.mp4");
    workflow::RealFolder folder([](const std::string&, const std::string&) { return 0; });
    ASSERT_EQ(folder.open("", true), 0);
    EXPECT_NE(folder.remove_second_name("other.mp4", "kept.mp4"), 0);
    EXPECT_EQ(folder.remove_second_name("second.mp4", "kept.mp4"), 0);
    EXPECT_NE(folder.remove_second_name("kept.mp4", "second.mp4"), 0);
    EXPECT_TRUE(std::filesystem::exists("other.mp4"));
    EXPECT_TRUE(std::filesystem::exists("kept.mp4"));
    EXPECT_FALSE(std::filesystem::exists("second.mp4"));
}

// A clip changed between the journal and the patch, given a second name, or whose new name
// another file took, is left untouched by the patch and the undo, and its bytes tell it no longer.
TEST(ClipDates, AreLeftWhereTheClipIsNoLongerTheOneRead) {
    // 80,000 minutes back: every date's first byte changes too. Byte 48 is in mvhd's creation.
    const std::string name = "2025_11_21_15_40_10.mp4", new_name = "2025 09 27 02 20 10.mp4";
    const std::string bytes = ScratchDirectory::read_file(RUR_FIXTURES "/moov_first.mp4");
    const std::string changed = "  Dates left: the clip changed since its dates were read";
    const std::string field_changed = bytes.substr(0, 48) + char(bytes[48] ^ 2) + bytes.substr(49);
    // What befalls the clip after its reading, and the bytes its new name then holds.
    enum Event { field_byte, size, second_name, other_file_under_new_name, torn_patch };
    const struct {
        Event event;
        std::string held, said;
        std::string_view undone;  // why undo leaves the dates too
    } rows[] = {
        {field_byte, field_changed, changed, "a recorded date holds bytes the run never wrote"},
        {size, bytes + '\0', changed, "its size changed"},
        {second_name, bytes, "  Dates left: it has more than one hard link",
         "it has more than one hard link"},
        {other_file_under_new_name, bytes, changed, ""},
        {torn_patch, bytes, changed, ""},  // by a power cut: undone whole
    };
    for (const auto& row : rows) {
        const ScratchDirectory scratch;
        ScratchDirectory::write_file(name, bytes);
        workflow::RealFolder folder([](const std::string&, const std::string&) { return 0; });
        ASSERT_EQ(folder.open("", true), 0);
        workflow::JournalClip entry{name, "", new_name, "", ""};
        workflow::DatePlan plan;
        platform::FileIdentity identity;
        ASSERT_EQ(workflow::plan_dates(folder, -80000, new_name, true, entry, plan, identity), 0);
        ASSERT_EQ(entry.fields.size(), 6U);
        std::filesystem::rename(name, row.event == other_file_under_new_name ? "moved" : new_name);
        if (row.event == second_name) {
            std::filesystem::create_hard_link(new_name, "b");
        } else if (row.event == other_file_under_new_name || !others_kept_out) {
            std::string held = row.held;
            if (row.event == torn_patch) {  // the creation's first and last bytes new, others old
                held[entry.fields[0].offset] = entry.fields[0].new_bytes[0];
                held[entry.fields[0].offset + 3] = entry.fields[0].new_bytes[3];
            }
            ScratchDirectory::write_file(new_name, held);
        } else {
            continue;
        }
        bool corrected = false;
        EXPECT_EQ(workflow::correct_dates(folder, new_name, entry, plan, corrected), row.said)
            << row.event;
        plan.file.close();  // as the pass lets the clip go after its patch
        bool retry = false;
        EXPECT_EQ(workflow::undo_dates(folder, new_name, entry, retry), row.undone) << row.event;
        EXPECT_EQ(ScratchDirectory::read_file(new_name), row.held) << row.event;
        EXPECT_EQ(workflow::holds_journaled_bytes(folder, new_name, entry), row.event > size);
    }
#ifdef __linux__  // nor is a clip by fields it cannot read: the test's own memory at address 0
    workflow::JournalClip unread{"mem", "", "mem", "", ""};
    unread.dated = true;  // with one field, on a file of size 0 as the system gives it
    unread.fields = {{0, "x", "y"}};
    workflow::RealFolder memory([](const std::string&, const std::string&) { return 0; });
    ASSERT_EQ(memory.open("/proc/self", true), 0);
    EXPECT_FALSE(workflow::holds_journaled_bytes(memory, "mem", unread));
    bool retry = false;  // and an undo that cannot read them tries again later
    EXPECT_TRUE(workflow::undo_dates(memory, "mem", unread, retry).ends_with("read") && retry);
#endif
}

}  // namespace
