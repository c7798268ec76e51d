// The undo removes only what the run, or an undo cut short, left of its own: an empty placeholder
// beside a clip that is back under its old name, or an undo's empty claim of that old name; never
// a file that has been written to since.
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

TEST(Undo, RemovesAPlaceholderOrItsOwnClaimOnlyWhileEmpty) {
    const std::string old_name = "2024_03_01_05_00_00.mp4", new_name = "2024 03 01 04 00 00.mp4";
    // What the corrected name holds; "clip" is the clip, not yet back, its old name claimed.
    for (const std::string held : {"", "a clip of someone else's", "clip"}) {
        const ScratchDirectory scratch;
        const bool claimed = held == "clip";
        ScratchDirectory::write_file("F/" + old_name, claimed ? "" : "clip");
        ScratchDirectory::write_file("F/" + new_name, held);
        workflow::RealFolder folder([](const std::string&, const std::string&) { return 0; });
        workflow::FileIdentity self, clip;
        ASSERT_EQ(folder.open("F", true) + folder.identify_self(self) +
                      folder.identify(claimed ? new_name : old_name, clip),
                  0);
        const workflow::IdentityKind kind = workflow::identity_kind_of(folder, self);
        ScratchDirectory::write_file(
            "journal.txt",
            "DoridivezizoziRUR undo journal\r\nversion: 2\r\nfolder: F\r\nfolder number: " +
                std::to_string(self.index) + "\r\ncorrection: -60\r\nidentity: " +
                std::string(workflow::identity_kind_words(kind)) + "\r\n\r\nclip: " + old_name +
                "\r\n  is: " + workflow::identity_text(clip, kind) + "\r\n  to: " + new_name +
                "\r\nclaim: " + old_name + "\r\n   at: " + new_name + "\r\n" +
                (claimed ? "undo claim: " + old_name + "\r\n" : ""));
        test_support::FakeConsole console;
        lineio::Channels channels(console);
        EXPECT_EQ(
            test_support::program_end_of([&] { workflow::run_undo(channels, "journal.txt"); }), 0);
        EXPECT_EQ(std::filesystem::exists("F/" + new_name), !held.empty() && !claimed) << held;
        EXPECT_EQ(ScratchDirectory::read_file("F/" + old_name), "clip");
    }
}

}  // namespace
