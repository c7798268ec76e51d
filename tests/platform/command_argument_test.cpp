// A printed command's argument is read back whole, and unchanged, by the shell it is pasted into.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "platform/platform.hpp"

namespace {

TEST(CommandArgument, ReadsBackAsItWasInAPosixShell) {
    EXPECT_EQ(platform::command_argument("/a/plain-path_1.txt"), "/a/plain-path_1.txt");
    for (const std::string argument :
         {"/plain/DoridivezizoziRUR-undo-1.txt", "/home/J Smith/Videos/j.txt", "it's",
          "a$b`c\"d\\e", "*?[x]~#;&|<>(){}", "", "new\nline"}) {
        const std::string quoted = platform::command_argument(argument);
        FILE* const shell = popen(("printf '%s' " + quoted).c_str(), "r");
        ASSERT_NE(shell, nullptr);
        std::string read_back;
        std::array<char, 256> buffer{};
        for (std::size_t got = 0; (got = fread(buffer.data(), 1, buffer.size(), shell)) > 0;) {
            read_back.append(buffer.data(), got);
        }
        pclose(shell);
        EXPECT_EQ(read_back, argument) << quoted;
    }
}

}  // namespace
