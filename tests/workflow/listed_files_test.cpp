// One listing tells which files have other names, by the numbers the system gives them.
#include "workflow/listed_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/scratch_directory.hpp"

namespace {

TEST(ListedFiles, TellTheFilesWithOtherNames) {
    const test_support::ScratchDirectory scratch;
    for (int index = 0; index < 300; ++index) {
        test_support::ScratchDirectory::write_file("Clips/" + std::to_string(index) + ".mp4");
    }
    std::filesystem::create_hard_link("Clips/7.mp4", "Clips/seven.mp4");
    workflow::RealFolder folder([](const std::string&, const std::string&) { return 0; });
    workflow::ListedFiles listed;
    ASSERT_EQ(folder.open("Clips", true), 0);
    listed.list(folder);
    EXPECT_NE(listed.folder_number(), 0U);
    for (const auto& entry : std::filesystem::directory_iterator("Clips")) {
        workflow::FileIdentity file;
        const std::string name = entry.path().filename().string();
        ASSERT_EQ(folder.identify(name, file), 0);
        EXPECT_EQ(listed.has_other_names(file.index), name == "7.mp4" || name == "seven.mp4")
            << name;
    }
}

}  // namespace
