// Undo on fresh filesystems, which give a freed number to the next file made as a disk in use does:
// no newcomer is taken for a clip, and no edited head switches a check off.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "program_runner.hpp"

namespace e2e {
namespace {
using namespace std::chrono_literals;

// A fresh image on "disk" (ext4 of one group: a new folder takes the lowest free number), or false:
// "disk" is then a plain folder of the build's disk.
bool mount_fresh(const std::string& make, const std::string& mount) {
    fs::create_directory("disk");
    return geteuid() == 0 && !runs_through_launcher() &&
           std::system(("truncate -s 64M disk.img && " + make + " disk.img >/dev/null 2>&1 && " +
                        mount + " disk.img disk 2>/dev/null")
                           .c_str()) == 0;
}

// A card's filesystem, without a kernel module. Its times are set by `touch -d`, in whole even
// seconds: a time set with the access time left out, it takes for the present time.
const std::string exfat_fuse =
    "fuse() { d=$(losetup -f --show $1) && mount.exfat-fuse $d $2; }; fuse";

void unmount_disk() {
    static_cast<void>(
        std::system("umount disk; losetup -j disk.img | cut -d: -f1 | xargs -r losetup -d") != 0);
}

// `name` made again by `make` until it has the number it had, where none is given again at once.
void make_again(const std::string& name, const std::function<void()>& make) {
    struct stat status {};
    stat(name.c_str(), &status);
    const ino_t freed = status.st_ino;
    for (int tries = 0; tries < 1000 && (tries == 0 || status.st_ino != freed); ++tries) {
        fs::remove_all(name);
        make();
        stat(name.c_str(), &status);
    }
}

// The run's journal, in "sub" unless `folder` is the run's, with the folder (empty: its absolute
// path), number 0 or the size and time kind (one for every clip, the subfolder aside) forged.
std::function<void(const Files&)> forged(std::string folder, bool no_number, bool by_size) {
    return [=](const Files& renamed) {
        struct stat file {};
        stat(("F/" + renamed.begin()->first).c_str(), &file);
        const std::string time =
            std::to_string(file.st_mtim.tv_sec * 1000000000LL + file.st_mtim.tv_nsec);
        std::string text = ScratchDirectory::read_file(journal_in("."));
        for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
                 {"folder number: \\d+", no_number ? "folder number: 0" : "$&"},
                 {"identity: [^\r]*", by_size ? "identity: size and time" : "$&"},
                 {"(clip: (?!.*12.mp4)[^\r]*\r\n  is: )[^\r]*", by_size ? "$0123 " + time : "$&"},
                 {"folder: F\r",
                  "folder: " + (folder.empty() ? fs::absolute("F").string() : folder) + "\r"}}) {
            text = std::regex_replace(text, std::regex(from), to);
        }
        ScratchDirectory::write_file(folder == "F" ? journal_in(".") : "sub/j.txt", text);
    };
}

TEST(Identity, NoReusedNumberCopiedClipBurstOrForgedHeadFoolsTheUndo) {
    const std::vector<std::pair<std::string, std::string>> disks{
        {"mkfs.ext4 -q -b 4096", "mount -o loop"}, {"mkfs.exfat", exfat_fuse}};
    // Undo on ext4 and exFAT: every clip back ('b') or nothing moved ('u'). Without lasting numbers
    // a copy of a clip's size and time is it, and number 0 and size and time are what a run writes.
    const std::vector<std::tuple<const char*, std::string, std::function<void(const Files&)>>> rows{
        {"a burst and a copy: each clip back", "bb", [](const Files&) {}},
        {"clips deleted and others made under their new names", "uu",
         [](const Files& renamed) {
             for (const auto& clip : renamed) {
                 const std::string path = "F/" + clip.first;
                 make_again(path, [&path] { ScratchDirectory::write_file(path, "new"); });
             }
         }},
        {"clips rewritten through temporary copies", "ub",
         [](const Files& renamed) {
             for (const auto& [name, bytes] : renamed) {
                 fs::copy_file("F/" + name, "F/" + name + ".tmp");
                 fs::rename("F/" + name + ".tmp", "F/" + name);
             }
             // The times are set back once every copy is on the disk: FUSE may write a copy's
             // bytes, and stamp its time, only after it was closed.
             ::sync();
             EXPECT_EQ(std::system("touch -d @1763683200 F/*"), 0);
         }},
        {"the folder removed and made again", "uu",
         [](const Files& renamed) {
             make_again("F", [] { fs::create_directory("F"); });
             for (const auto& [name, bytes] : renamed) {
                 ScratchDirectory::write_file("F/" + name, "a newcomer under " + name);
             }
         }},
        {"number 0, an absolute folder", "ub", forged("", true, false)},
        {"number 0, a folder above", "ub", forged("../F", true, false)},
        {"size and time, an absolute folder", "ub", forged("", false, true)},
        {"size and time, a folder above", "ub", forged("../F", false, true)},
        {"size and time beside the journal", "bb", forged("F", false, true)},
    };
    for (const auto& [make, mount] : disks) {
        for (const auto& [what, expected, change] : rows) {
            ScratchDirectory scratch;
            const bool mounted = mount_fresh(make, mount);
            SCOPED_TRACE(make + ": " + what);
            if (!mounted && (make != disks.front().first || runs_through_launcher())) {
                if (skips_refused() && !runs_through_launcher()) {
                    FAIL() << make << " could not be mounted";
                }
                GTEST_SKIP() << "skipped: FUSE, loop devices or " << make << " is missing";
            }
            fs::current_path("disk");
            // Clips of one size and one second, one of them a copy under other separators.
            for (const char* clip : {"2025_11_21_15_40_10.mp4", "2025_11_21_15_40_11.mp4",
                                     "2025-11-21-15-40-10.mp4", "2025_11_21_16_02_33.avi"}) {
                ScratchDirectory::write_file(std::string("F/") + clip, clip);
            }
            EXPECT_EQ(std::system("touch -d @1763683200 F/*"), 0);
            const Files clips = folder_contents("F");
            // A subfolder named like a clip, which only a rename in one step can rename.
            fs::create_directory("F/2025_11_21_15_40_12.mp4");
            const std::string typed = "Y\nF\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n\n";
            const ProgramRun dry = run_program(".", typed, false, {"--dry-run"});
            EXPECT_EQ(as_real(dry.output), run_program(".", typed).output);
            const Files renamed = folder_contents("F");
            fs::create_directory("sub");
            change(renamed);
            const Files before = folder_contents("F");
            const std::string journal = fs::exists("sub/j.txt") ? "sub/j.txt" : journal_in(".");
            const ProgramRun undo = run_program(".", "", false, {"--undo", journal});
            EXPECT_EQ(folder_contents("F"),
                      expected[make == disks.front().first ? 0 : 1] == 'u' ? before : clips)
                << undo.output << undo.error;
            fs::current_path(scratch.path());
            if (mounted) {
                unmount_disk();
            }
        }
    }
}

// exFAT through FUSE keeps the file times that --dates, and then undo, set on a patched clip.
TEST(Dates, KeepTheirFileTimesOnExFatThroughFuse) {
    ScratchDirectory scratch;
    if (!mount_fresh("mkfs.exfat", exfat_fuse)) {
        EXPECT_FALSE(skips_refused() && !runs_through_launcher()) << "no exFAT mounted";
        GTEST_SKIP() << "skipped: FUSE, loop devices or mkfs.exfat is missing";
    }
    fs::current_path("disk");
    fs::create_directory("F");
    fs::copy_file(fs::path(RUR_FIXTURES) / "moov_first.mp4", "F/2025_11_21_15_40_10.mp4");
    EXPECT_EQ(std::system("touch -d @1763683200 F/2025_11_21_15_40_10.mp4"), 0);
    ::setenv("TZ", "UTC0", 1);
    run_program(".", "Y\nF\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n\n", false, {"--dates"});
    ::unsetenv("TZ");
    EXPECT_EQ(fs::last_write_time("F/2025 11 21 14 25 10.mp4"),
              std::chrono::file_clock::from_sys(std::chrono::sys_seconds(1763735110s)));
    // A time someone moved since leaves the clip known by its size and its journaled bytes.
    EXPECT_EQ(std::system("touch -d @1 'F/2025 11 21 14 25 10.mp4'"), 0);
    run_program(".", "", false, {"--undo", journal_in(".")});
    EXPECT_EQ(fs::last_write_time("F/2025_11_21_15_40_10.mp4"),
              std::chrono::file_clock::from_sys(std::chrono::sys_seconds(1763683200s)));
    fs::current_path(scratch.path());
    unmount_disk();
}

}  // namespace
}  // namespace e2e
