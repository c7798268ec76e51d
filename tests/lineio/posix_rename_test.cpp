// The fallbacks for filesystems that refuse an atomic rename without replacement, tried here on
// whatever filesystem holds the temporary directory.
#include "lineio/posix_rename.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/scratch_directory.hpp"

namespace {

using test_support::ScratchDirectory;

TEST(RenameFallbacks, RenameAndNeverReplace) {
    for (const auto way :
         {&lineio::platform::posix::rename_by_link, &lineio::platform::posix::rename_when_absent}) {
        ScratchDirectory scratch;
        ScratchDirectory::write_file("old.mp4", "old");
        ScratchDirectory::write_file("taken.mp4", "taken");
        EXPECT_EQ(way("old.mp4", "taken.mp4"), EEXIST);
        EXPECT_EQ(ScratchDirectory::read_file("taken.mp4"), "taken");
        EXPECT_EQ(way("old.mp4", "new.mp4"), 0);
        EXPECT_FALSE(std::filesystem::exists("old.mp4"));
        EXPECT_EQ(ScratchDirectory::read_file("new.mp4"), "old");
        EXPECT_EQ(way("missing.mp4", "other.mp4"), ENOENT);
    }
}

}  // namespace
