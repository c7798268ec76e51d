// The undo removes only what the run left of its own: an empty placeholder beside a clip that is
// back under its old name, never a file that has been written to since.
#include "workflow/undo.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/identity.hpp"

namespace {

using test_support::ScratchDirectory;

TEST(Undo, RemovesAPlaceholderOnlyWhileItIsEmpty) {
    for (const std::string content : {"", "a clip of someone else's"}) {
        const ScratchDirectory scratch;
        ScratchDirectory::write_file("F/2024_03_01_05_00_00.mp4", "clip");
        ScratchDirectory::write_file("F/2024 03 01 04 00 00.mp4", content);
        workflow::RealFolder folder([](const std::string&, const std::string&) { return 0; });
        workflow::FileIdentity self;
        workflow::FileIdentity clip;
        ASSERT_EQ(folder.open("F", true) + folder.identify_self(self) +
                      folder.identify("2024_03_01_05_00_00.mp4", clip),
                  0);
        const workflow::IdentityKind kind = workflow::identity_kind_of(folder, self);
        ScratchDirectory::write_file(
            "journal.txt",
            "DoridivezizoziRUR undo journal\r\nversion: 2\r\nfolder: F\r\n"
            "folder number: " +
                std::to_string(self.index) + "\r\ncorrection: -60\r\nidentity: " +
                std::string(workflow::identity_kind_words(kind)) +
                "\r\n\r\nclip: 2024_03_01_05_00_00.mp4\r\n  is: " +
                workflow::identity_text(clip, kind) +
                "\r\n  to: 2024 03 01 04 00 00.mp4\r\n"
                "claim: 2024_03_01_05_00_00.mp4\r\n   at: 2024 03 01 04 00 00.mp4\r\n");
        test_support::FakeConsole console;
        lineio::Channels channels(console);
        EXPECT_EQ(
            test_support::program_end_of([&] { workflow::run_undo(channels, "journal.txt"); }), 0);
        EXPECT_EQ(std::filesystem::exists("F/2024 03 01 04 00 00.mp4"), !content.empty())
            << content;
        EXPECT_EQ(ScratchDirectory::read_file("F/2024_03_01_05_00_00.mp4"), "clip");
    }
}

}  // namespace
