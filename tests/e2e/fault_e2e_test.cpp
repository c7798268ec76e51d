// A directory where no file can be made: the listing and the report are written over in place,
// and the listing, which cannot be deleted, stays behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "program_runner.hpp"

namespace e2e {
namespace {

TEST(Faults, OwnFilesAreWrittenInPlaceWhereNoFileCanBeMade) {
    if (running_as_root() && runs_through_launcher()) {
        GTEST_SKIP() << "Wine starts for no other user than the owner of its prefix";
    }
    ScratchDirectory scratch;
    for (const char* clip : {"2024_03_01_00_00_00.mp4", "2024-03-01 00-01-01.mp4"}) {
        ScratchDirectory::write_file(std::string("Clips/") + clip, clip);
    }
    const std::string old(200, 'x');
    for (const char* own : {"list.txt", "DedUzarodivedizidUZOVU.txt", "Clips"}) {
        if (own[0] != 'C') {
            ScratchDirectory::write_file(own, old);
        }
        // Run by root, the program runs as "nobody", to whom the directory does not belong.
        ASSERT_TRUE(!running_as_root() ||
                    chown(own, unprivileged_user_id, unprivileged_user_id) == 0);
    }
    fs::permissions(".", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const ProgramRun run =
        run_program(scratch.path(), "Y\nClips\n2024 03 01 00 00 00\n2024 03 01 01 00 00\n\n", true);
    EXPECT_EQ(run.exit_status, 0) << run.error;
    EXPECT_NE(run.output.find("     2 files successfully renamed"), std::string::npos);
    EXPECT_EQ(ScratchDirectory::read_file("DedUzarodivedizidUZOVU.txt").find('x'),
              std::string::npos);
    EXPECT_EQ(ScratchDirectory::read_file("list.txt").find('x'), std::string::npos);
    EXPECT_EQ(folder_contents("Clips"),
              (std::map<std::string, std::string>{
                  {"2024 03 01 01 00 00.mp4", "2024_03_01_00_00_00.mp4"},
                  {"2024 03 01 01 01 01.mp4", "2024-03-01 00-01-01.mp4"}}));
}

}  // namespace
}  // namespace e2e
