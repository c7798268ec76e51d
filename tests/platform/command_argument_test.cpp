// A printed command's argument is read back whole, and unchanged, by the shell it is pasted into.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/platform.hpp"

namespace {

TEST(CommandArgument, ReadsBackAsItWasInAPosixShell) {
    for (const std::string argument : {"/home/J Smith/Videos/j.txt", "it's", "a$b`c\"d\\e",
                                       "*?[x]~#;&|<>(){}", "", "new\nline"}) {
        std::string read_back(256, '\0');
        FILE* const shell =
            popen(("printf '%s' " + platform::command_argument(argument)).c_str(), "r");
        read_back.resize(std::fread(read_back.data(), 1, read_back.size(), shell));
        EXPECT_EQ(pclose(shell), 0);
        EXPECT_EQ(read_back, argument);
    }
}

}  // namespace
