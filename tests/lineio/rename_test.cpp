#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"
#include "support/system_errors.hpp"

namespace {

using lineio::Channels;
using lineio::FixedText;
using test_support::FakeConsole;
using test_support::ScratchDirectory;
namespace system_error = test_support::system_error;

class RenameFile : public ::testing::Test {
  protected:
    ScratchDirectory scratch;
    FakeConsole console;
    Channels channels{console};

    int rename(std::string_view from, std::string_view to) {
        return channels.rename_file(FixedText<60>(from).view(), FixedText<60>(to).view());
    }
};

TEST_F(RenameFile, GivesTheFileItsNewName) {
    std::filesystem::create_directory("clips");
    ScratchDirectory::write_file("clips/2013-01-15 16.30.00.mp4", "video");
    EXPECT_EQ(rename("clips/2013-01-15 16.30.00.mp4", "clips/2025 11 21 15 30 00.mp4"), 0);
    EXPECT_FALSE(std::filesystem::exists("clips/2013-01-15 16.30.00.mp4"));
    EXPECT_EQ(ScratchDirectory::read_file("clips/2025 11 21 15 30 00.mp4"), "video");
    EXPECT_TRUE(console.output.empty());
    EXPECT_TRUE(console.error.empty());
}

TEST_F(RenameFile, NeverReplacesAnExistingFile) {
    ScratchDirectory::write_file("old.mp4", "old");
    ScratchDirectory::write_file("taken.mp4", "taken");
    EXPECT_EQ(rename("old.mp4", "taken.mp4"), system_error::name_taken);
    EXPECT_EQ(ScratchDirectory::read_file("old.mp4"), "old");
    EXPECT_EQ(ScratchDirectory::read_file("taken.mp4"), "taken");
}

TEST_F(RenameFile, FailsForAMissingFile) {
    EXPECT_EQ(rename("missing.mp4", "new.mp4"), system_error::no_such_file);
    EXPECT_FALSE(std::filesystem::exists("new.mp4"));
    // A missing file is no file that already bears its name.
    EXPECT_EQ(rename("missing.mp4", "missing.mp4"), system_error::no_such_file);
}

TEST_F(RenameFile, AFileThatAlreadyBearsTheNameIsLeftAlone) {
    ScratchDirectory::write_file("2025 11 21 15 30 00.mp4", "video");
    EXPECT_EQ(rename("2025 11 21 15 30 00.mp4", "2025 11 21 15 30 00.mp4"), 0);
    EXPECT_EQ(ScratchDirectory::read_file("2025 11 21 15 30 00.mp4"), "video");
}

TEST_F(RenameFile, DropsTrailingBlanksAndKeepsLeadingOnes) {
    ScratchDirectory::write_file(" lead.mp4", "video");
    ScratchDirectory::write_file("lead.mp4", "other");
    EXPECT_EQ(rename(" lead.mp4", " new.mp4"), 0);
    EXPECT_EQ(ScratchDirectory::read_file(" new.mp4"), "video");
    EXPECT_EQ(ScratchDirectory::read_file("lead.mp4"), "other");
    EXPECT_FALSE(std::filesystem::exists("new.mp4"));
}

TEST_F(RenameFile, RefusesNamesHoldingANulByte) {
    ScratchDirectory::write_file("a.mp4", "video");
    EXPECT_EQ(channels.rename_file("a.mp4", std::string("b\0c.mp4", 7)),
              system_error::invalid_name);
    EXPECT_EQ(channels.rename_file(std::string("a.mp4\0", 6), "b.mp4"), system_error::invalid_name);
    EXPECT_TRUE(std::filesystem::exists("a.mp4"));
}

}  // namespace
