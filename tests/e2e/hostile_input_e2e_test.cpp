// Hostile input, run as a user would meet it: lines of megabytes at every prompt, NUL bytes and
// invalid UTF-8 where names and answers go, names of 255 bytes, listings that hold folders and
// symbolic links, files of the program's own that are links, pipes or folders, and a current
// directory that may not be written. Whatever happens, the program ends with a clear message or
// status 127, never by a signal or a hang, and no file is lost or touched outside the folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "expected_output.hpp"
#include "program_runner.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using Tree = std::map<std::string, std::string>;

constexpr std::string_view camera = "2024 03 01 00 00 00";
constexpr std::string_view actual = "2024 03 01 01 00 00";  // one hour later

const Tree clips{{"2024-03-01 00-00-07.mp4", "file: clip one"},
                 {"2024_03_01_00_30_15.MP4", "file: clip two"},
                 {"2024.03.01.23.59.59.avi", "file: clip three"}};
const Tree renamed_clips{{"2024 03 01 01 00 07.mp4", "file: clip one"},
                         {"2024 03 01 01 30 15.MP4", "file: clip two"},
                         {"2024 03 02 00 59 59.avi", "file: clip three"}};

constexpr std::string_view listing_failure =
    "There was a problem with the folder name ... TERMINATING";
constexpr std::string_view wrong_type = "At least one file is NOT an AVI or MP4 file";
constexpr std::string_view no_answer = "Use Renamer with Meta Tag File_DateModified to relabel";
constexpr std::string_view summary_of_three = "     3 files successfully renamed";

// Every entry below `root`, links not followed: files with their contents, folders, links with
// their targets, pipes.
Tree describe(const fs::path& root) {
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        // Lexically: fs::relative would resolve the links this is meant to show.
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            tree[name] = "link: " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_directory()) {
            tree[name] = "folder";
        } else if (entry.is_fifo()) {
            tree[name] = "pipe";
        } else {
            tree[name] = "file: " + read_file(entry.path());
        }
    }
    return tree;
}

void make_tree(const fs::path& root, const Tree& tree) {
    fs::create_directories(root);
    for (const auto& [name, what] : tree) {
        if (what == "folder") {
            fs::create_directories(root / name);
        } else {
            write_file(root / name, what.substr(std::string_view("file: ").size()));
        }
    }
}

// Runs the program, and kills it should it still run after a minute: a hang is a failure too.
ProgramRun run_within_a_minute(const fs::path& directory, const std::string& input,
                               RunAs user = RunAs::this_user) {
    RunningProgram program(directory, input, user);
    auto finished = std::async(std::launch::async, [&program] { return program.wait(); });
    if (finished.wait_for(std::chrono::minutes(1)) == std::future_status::timeout) {
        ADD_FAILURE() << "the program was still running after a minute";
        program.kill_now();
    }
    return finished.get();
}

std::string typed(std::string_view answer, std::string_view folder, std::string_view camera_line,
                  std::string_view actual_line, std::string_view enter = "") {
    return std::string(answer) + "\n" + std::string(folder) + "\n" + std::string(camera_line) +
           "\n" + std::string(actual_line) + "\n" + std::string(enter) + "\n";
}

// Every table row prints as its name, not as its megabytes of input.
template <typename Row>
requires requires(const Row& row) {
    row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

// The program ended by itself with `exit_status`, showing `shown` in its output, or in its error
// stream for status 127.
void expect_ended(const ProgramRun& run, int exit_status, std::string_view shown) {
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exit_status, exit_status);
    const std::string& stream = exit_status == 0 ? run.output : run.error;
    EXPECT_NE(stream.find(shown), std::string::npos) << run.output << run.error;
}

// The error stream quotes what it was given with control characters made harmless.
void expect_no_control_bytes(const std::string& text) {
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        EXPECT_TRUE(byte >= 0x20 || character == '\r' || character == '\n')
            << "byte " << static_cast<int>(byte) << " in: " << text;
    }
}

// Under Wine the Windows executable sees Unix symbolic links as the files they name, reads names
// in its own code page, and starts for no other user than the prefix's owner: rows that rest on
// those cannot hold there, and are left to the native run.
bool rests_on_posix_under_wine(bool rests_on_posix) {
    return rests_on_posix && runs_through_launcher();
}

// ---- A line of 10 MB at every prompt ----

const std::string ten_megabytes(std::size_t{10} << 20, ' ');

std::string huge(char character) {
    return std::string(ten_megabytes.size(), character);
}

struct HugeLineCase {
    std::string name;
    std::function<std::string()> input;
    int exit_status;
    bool renames;
    std::string_view shown;  // in the output, or in the error stream for status 127
};

class HugeLineTest : public ::testing::TestWithParam<HugeLineCase> {};

TEST_P(HugeLineTest, IsReadInPassingAndNeverEchoed) {
    const HugeLineCase& row = GetParam();
    ScratchDirectory scratch;
    make_tree(scratch.path() / "Clips", clips);

    const ProgramRun run = run_within_a_minute(scratch.path(), row.input());

    expect_ended(run, row.exit_status, row.shown);
    // No line of megabytes comes back out, neither on the console nor in a diagnostic.
    EXPECT_LT(run.output.size(), 16U * 1024);
    EXPECT_LT(run.error.size(), 1024U);
    EXPECT_EQ(describe(scratch.path() / "Clips"), row.renames ? renamed_clips : clips);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPrompt, HugeLineTest,
    ::testing::Values(
        HugeLineCase{"AnswerYesGoingOn",
                     [] { return typed("Y" + huge('x'), "Clips", camera, actual); }, 0, true,
                     summary_of_three},
        HugeLineCase{"AnswerNoGoingOn",
                     [] { return typed("n" + huge('o'), "Clips", camera, actual); }, 0, false,
                     no_answer},
        HugeLineCase{"FolderThenBlanks",
                     [] { return typed("Y", "Clips" + ten_megabytes, camera, actual); }, 0, true,
                     summary_of_three},
        HugeLineCase{"FolderOfNoSuchName", [] { return typed("Y", huge('a'), camera, actual); }, 0,
                     false, listing_failure},
        HugeLineCase{
            "BlanksBeforeTheCameraTimestamp",
            [] { return typed("Y", "Clips", ten_megabytes + std::string(camera), actual); }, 0,
            true, summary_of_three},
        HugeLineCase{"OneHugeNumber", [] { return typed("Y", "Clips", huge('7'), actual); }, 127,
                     false, "outside the range of signed 32-bit integers"},
        HugeLineCase{
            "ActualTimestampThenJunk",
            [] { return typed("Y", "Clips", camera, std::string(actual) + " " + huge('z')); }, 0,
            true, summary_of_three},
        HugeLineCase{"OnlySigns", [] { return typed("Y", "Clips", camera, huge('-')); }, 127, false,
                     "is not an integer"},
        HugeLineCase{"FinalEnter", [] { return typed("Y", "Clips", camera, actual, huge('q')); }, 0,
                     true, "DONE ... Press Enter to terminate"}),
    [](const auto& info) { return info.param.name; });

// ---- NUL bytes and invalid UTF-8 in answers and folder names ----

// Three folders of clips: the one meant, one whose name is a prefix of it, and one whose name is
// no UTF-8.
const std::string odd_folder =
    "\xff\xfe"
    "Clips";
const std::vector<std::string> folders{"Clips", "Cl", odd_folder};

struct HostileBytesCase {
    std::string name;
    std::string answer;
    std::string folder;
    int exit_status;
    std::string renamed_folder;  // empty when nothing may be renamed
    std::string_view shown;      // in the output, or in the error stream for status 127
    std::string camera_line = std::string(camera);
};

class HostileBytesTest : public ::testing::TestWithParam<HostileBytesCase> {};

TEST_P(HostileBytesTest, NeverReachesAnotherFolder) {
    const HostileBytesCase& row = GetParam();
    if (rests_on_posix_under_wine(row.name == "InvalidUtf8Folder")) {
        GTEST_SKIP() << "Wine reads names in code page 1252";
    }
    ScratchDirectory scratch;
    for (const std::string& folder : folders) {
        make_tree(scratch.path() / folder, clips);
    }

    const ProgramRun run =
        run_within_a_minute(scratch.path(), typed(row.answer, row.folder, row.camera_line, actual));

    expect_ended(run, row.exit_status, row.shown);
    expect_no_control_bytes(run.error);
    for (const std::string& folder : folders) {
        EXPECT_EQ(describe(scratch.path() / folder),
                  folder == row.renamed_folder ? renamed_clips : clips)
            << "folder " << folder;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AnswersAndFolders, HostileBytesTest,
    ::testing::Values(
        HostileBytesCase{"NulAnswer", "\0"s, "Clips", 0, "Clips", summary_of_three},
        HostileBytesCase{"NoFollowedByNul", "N\0yes"s, "Clips", 0, "", no_answer},
        HostileBytesCase{"Utf8Answer", "\xc3\xb1", "Clips", 0, "Clips", summary_of_three},
        HostileBytesCase{"InvalidUtf8Answer", "\xff", "Clips", 0, "Clips", summary_of_three},
        HostileBytesCase{"NulInsideTheFolder", "Y", "Cl\0ips"s, 0, "", listing_failure},
        HostileBytesCase{"NulAfterTheFolder", "Y", "Clips\0"s, 0, "", listing_failure},
        HostileBytesCase{"NulAfterTheShorterFolder", "Y", "Cl\0"s, 0, "", listing_failure},
        HostileBytesCase{"OnlyNul", "Y", "\0"s, 0, "", listing_failure},
        HostileBytesCase{"InvalidUtf8Folder", "Y", odd_folder, 0, odd_folder, summary_of_three},
        HostileBytesCase{"PartOfAnInvalidUtf8Folder", "Y", "\xff\xfe", 0, "", listing_failure},
        HostileBytesCase{"NulInATimestamp", "Y", "Clips", 127, "", "is not an integer",
                         "2024 03\0 01 00 00 00"s},
        HostileBytesCase{"InvalidUtf8InATimestamp", "Y", "Clips", 127, "", "is not an integer",
                         "2024 03 01 00 00 \xff"}),
    [](const auto& info) { return info.param.name; });

// ---- Names of 255 bytes ----

const std::string long_clip_name = "2024-03-01 00-00-07.mp4" + std::string(232, 'x');
const std::string long_folder_name(255, 'F');

struct LongNameCase {
    std::string name;
    std::string folder;
    Tree before;
    Tree after;
    std::string_view shown;
};

class LongNameTest : public ::testing::TestWithParam<LongNameCase> {};

TEST_P(LongNameTest, IsLeftAsItIsOrRefused) {
    const LongNameCase& row = GetParam();
    ScratchDirectory scratch;
    make_tree(scratch.path() / row.folder, row.before);

    const ProgramRun run =
        run_within_a_minute(scratch.path(), typed("Y", row.folder, camera, actual));

    expect_ended(run, 0, row.shown);
    EXPECT_EQ(describe(scratch.path() / row.folder), row.after);
}

Tree with(Tree tree, const std::string& name, const std::string& what) {
    tree[name] = what;
    return tree;
}

INSTANTIATE_TEST_SUITE_P(
    Names, LongNameTest,
    ::testing::Values(
        // Its first 23 columns name a clip, but it is not that clip: it keeps its name.
        LongNameCase{"ClipNameGoingOn", "Clips", with(clips, long_clip_name, "file: long"),
                     with(renamed_clips, long_clip_name, "file: long"),
                     " Could not rename Clips/2024-03-01 00-00-07.mp4\r\n"},
        LongNameCase{"NoVideoName", "Clips", with(clips, std::string(255, 'n'), "file: long"),
                     with(clips, std::string(255, 'n'), "file: long"), wrong_type},
        // Only 50 columns of a folder name are read: a longer one is never reached.
        LongNameCase{"FolderNameTypedWhole", long_folder_name, clips, clips, listing_failure},
        LongNameCase{"FolderNameOfFiftyBytes", std::string(50, 'F'), clips, renamed_clips,
                     summary_of_three}),
    [](const auto& info) { return info.param.name; });

// ---- Folders and symbolic links in the listing ----

// Beside the folder of clips: a file and a folder of clips that links may point to.
const Tree surroundings{{"Outside", "folder"},
                        {"Outside/victim.mp4", "file: not to be touched"},
                        {"Elsewhere", "folder"},
                        {"Elsewhere/2024-03-01 00-00-07.mp4", "file: elsewhere"}};

struct ListedEntryCase {
    std::string name;
    std::function<void(const fs::path& clips_folder)> make_entry;
    Tree after;  // the clips' folder afterwards
    std::string_view shown;
};

class ListedEntryTest : public ::testing::TestWithParam<ListedEntryCase> {};

TEST_P(ListedEntryTest, NothingOutsideTheFolderIsTouched) {
    const ListedEntryCase& row = GetParam();
    if (rests_on_posix_under_wine(row.name.starts_with("Link"))) {
        GTEST_SKIP() << "Wine sees a symbolic link as its target";
    }
    ScratchDirectory scratch;
    make_tree(scratch.path(), surroundings);
    make_tree(scratch.path() / "Clips", {{"2024-03-01 00-00-07.mp4", "file: clip one"}});
    row.make_entry(scratch.path() / "Clips");

    const ProgramRun run = run_within_a_minute(scratch.path(), typed("Y", "Clips", camera, actual));

    expect_ended(run, 0, row.shown);
    EXPECT_EQ(describe(scratch.path() / "Clips"), row.after);
    Tree around = describe(scratch.path());
    std::erase_if(around, [](const auto& entry) {
        return entry.first.starts_with("Clips") || entry.first == "list.txt" ||
               entry.first == report_name || entry.first.starts_with("DoridivezizoziRUR-undo-");
    });
    EXPECT_EQ(around, surroundings);
}

constexpr std::string_view clip_like = "2024-03-01 00-10-07.mp4";
constexpr std::string_view clip_like_renamed = "2024 03 01 01 10 07.mp4";
const Tree clip_one_renamed{{"2024 03 01 01 00 07.mp4", "file: clip one"}};
const Tree clip_one{{"2024-03-01 00-00-07.mp4", "file: clip one"}};

INSTANTIATE_TEST_SUITE_P(
    Entries, ListedEntryTest,
    ::testing::Values(
        // A folder named like a clip moves within the folder, whole.
        ListedEntryCase{
            "FolderNamedLikeAClip",
            [](const fs::path& folder) { write_file(folder / clip_like / "inner.txt", "inner"); },
            with(with(clip_one_renamed, std::string(clip_like_renamed), "folder"),
                 std::string(clip_like_renamed) + "/inner.txt", "file: inner"),
            "     2 files successfully renamed"},
        ListedEntryCase{"FolderOfAnotherName",
                        [](const fs::path& folder) { fs::create_directory(folder / "Sub"); },
                        with(clip_one, "Sub", "folder"), wrong_type},
        // A link is renamed as a link: what it points to keeps its name and contents.
        ListedEntryCase{
            "LinkToAFileOutside",
            [](const fs::path& folder) {
                fs::create_symlink("../Outside/victim.mp4", folder / clip_like);
            },
            with(clip_one_renamed, std::string(clip_like_renamed), "link: ../Outside/victim.mp4"),
            "     2 files successfully renamed"},
        ListedEntryCase{
            "LinkToAFolderOfClips",
            [](const fs::path& folder) { fs::create_symlink("../Elsewhere", folder / clip_like); },
            with(clip_one_renamed, std::string(clip_like_renamed), "link: ../Elsewhere"),
            "     2 files successfully renamed"},
        ListedEntryCase{
            "LinkToNothing",
            [](const fs::path& folder) {
                fs::create_symlink("../nowhere.mp4", folder / clip_like);
            },
            with(clip_one_renamed, std::string(clip_like_renamed), "link: ../nowhere.mp4"),
            "     2 files successfully renamed"},
        ListedEntryCase{
            "LinkOfAnotherName",
            [](const fs::path& folder) { fs::create_symlink("../Outside", folder / "Link"); },
            with(clip_one, "Link", "link: ../Outside"), wrong_type}),
    [](const auto& info) { return info.param.name; });

// ---- The listing and the report are not plain files ----

struct OwnFileCase {
    std::string name;
    std::function<void(const fs::path& directory)> make;
    bool listing_written;  // whether list.txt is the program's own by the time it fails
    std::string_view reason;
};

class OwnFileTest : public ::testing::TestWithParam<OwnFileCase> {};

TEST_P(OwnFileTest, IsNeverWrittenThrough) {
    const OwnFileCase& row = GetParam();
    if (rests_on_posix_under_wine(row.name.find("Linked") != std::string::npos)) {
        GTEST_SKIP() << "Wine sees a symbolic link as its target";
    }
    ScratchDirectory scratch;
    make_tree(scratch.path() / "Clips", clips);
    write_file(scratch.path() / "precious.txt", "precious");
    row.make(scratch.path());
    const Tree before = describe(scratch.path());

    const ProgramRun run = run_within_a_minute(scratch.path(), typed("Y", "Clips", camera, actual));

    expect_ended(run, 127, row.reason);
    Tree after = describe(scratch.path());
    if (row.listing_written) {
        after.erase("list.txt");
    }
    EXPECT_EQ(after, before);
}

const fs::path report_path{std::string(report_name)};

INSTANTIATE_TEST_SUITE_P(
    ListingAndReport, OwnFileTest,
    ::testing::Values(
        OwnFileCase{"ListingLinkedToAnotherFile",
                    [](const fs::path& d) { fs::create_symlink("precious.txt", d / "list.txt"); },
                    false, "symbolic link"},
        OwnFileCase{"ListingLinkedToNothing",
                    [](const fs::path& d) { fs::create_symlink("made.txt", d / "list.txt"); },
                    false, "symbolic link"},
        OwnFileCase{"ListingIsAPipe",
                    [](const fs::path& d) { ASSERT_EQ(mkfifo((d / "list.txt").c_str(), 0666), 0); },
                    false, "list.txt"},
        OwnFileCase{"ListingIsAFolder",
                    [](const fs::path& d) { fs::create_directory(d / "list.txt"); }, false,
                    "list.txt"},
        OwnFileCase{"ReportLinkedToAnotherFile",
                    [](const fs::path& d) { fs::create_symlink("precious.txt", d / report_path); },
                    true, "symbolic link"},
        OwnFileCase{"ReportLinkedToNothing",
                    [](const fs::path& d) { fs::create_symlink("made.txt", d / report_path); },
                    true, "symbolic link"},
        OwnFileCase{
            "ReportIsAPipe",
            [](const fs::path& d) { ASSERT_EQ(mkfifo((d / report_path).c_str(), 0666), 0); }, true,
            report_name},
        OwnFileCase{"ReportIsAFolder",
                    [](const fs::path& d) { fs::create_directory(d / report_path); }, true,
                    report_name}),
    [](const auto& info) { return info.param.name; });

// ---- A current directory that may not be written ----

struct LockedDirectoryCase {
    std::string name;
    bool listing_exists;
    bool report_exists;
    int exit_status;
    bool renames;
    std::string_view shown;  // in the output, or in the error stream for status 127
};

class LockedDirectoryTest : public ::testing::TestWithParam<LockedDirectoryCase> {};

TEST_P(LockedDirectoryTest, StopsBeforeRenamingWhatItCannotReport) {
    const LockedDirectoryCase& row = GetParam();
    if (rests_on_posix_under_wine(running_as_root())) {
        GTEST_SKIP() << "Wine starts for no other user than the prefix's owner";
    }
    ScratchDirectory scratch;
    make_tree(scratch.path() / "Clips", clips);
    std::vector<fs::path> own_files;
    if (row.listing_exists) {
        own_files.push_back(scratch.path() / "list.txt");
    }
    if (row.report_exists) {
        own_files.push_back(scratch.path() / report_path);
    }
    for (const fs::path& file : own_files) {
        write_file(file, "old");
    }
    if (running_as_root()) {
        // The program runs as "nobody": the directory stays root's, its files and the clips'
        // folder become nobody's.
        const unsigned nobody = unprivileged_user_id();
        own_files.push_back(scratch.path() / "Clips");
        for (const fs::path& file : own_files) {
            ASSERT_EQ(chown(file.c_str(), nobody, nobody), 0);
        }
        fs::permissions(scratch.path(), fs::perms::owner_all | fs::perms::group_read |
                                            fs::perms::group_exec | fs::perms::others_read |
                                            fs::perms::others_exec);
    } else {
        fs::permissions(scratch.path(), fs::perms::owner_write, fs::perm_options::remove);
    }

    const ProgramRun run = run_within_a_minute(scratch.path(), typed("Y", "Clips", camera, actual),
                                               RunAs::unprivileged_user);

    expect_ended(run, row.exit_status, row.shown);
    EXPECT_EQ(describe(scratch.path() / "Clips"), row.renames ? renamed_clips : clips);
}

INSTANTIATE_TEST_SUITE_P(
    CurrentDirectory, LockedDirectoryTest,
    ::testing::Values(LockedDirectoryCase{"NothingCanBeMade", false, false, 127, false, "list.txt"},
                      LockedDirectoryCase{"NoReportCanBeMade", true, false, 127, false,
                                          report_name},
                      // Both files can be written where they are: the run goes through, and
                      // only the listing stays behind, as it cannot be deleted.
                      LockedDirectoryCase{"BothFilesThere", true, true, 0, true, summary_of_three}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace e2e
