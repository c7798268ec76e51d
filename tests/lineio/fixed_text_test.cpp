#include "lineio/fixed_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using lineio::FixedText;

TEST(TrimmedLength, CountsOnlyTrailingBlanksAway) {
    EXPECT_EQ(lineio::trimmed_length(""), 0U);
    EXPECT_EQ(lineio::trimmed_length("     "), 0U);
    EXPECT_EQ(lineio::trimmed_length("  ab  "), 4U);
    // A tab is no blank: it stays, and so do the blanks before it.
    EXPECT_EQ(lineio::trimmed_length("ab \t  "), 4U);
    EXPECT_EQ(lineio::trimmed(" a b  "), " a b");
}

TEST(FixedCopy, BlankFillsOrCuts) {
    FixedText<5> text;
    lineio::fixed_copy(text.span(), "ab");
    EXPECT_EQ(text.view(), "ab   ");
    lineio::fixed_copy(text.span(), "abcdefg");
    EXPECT_EQ(text.view(), "abcde");
    EXPECT_EQ(FixedText<4>("del list.txt").view(), "del ");
    EXPECT_EQ(FixedText<3>().view(), "   ");
}

TEST(Concatenation, JoinsCutsAndFills) {
    FixedText<60> command;
    const FixedText<60> folder("My Clips");
    lineio::concatenate(command.span(), {"dir /B ", folder.view().substr(0, 8), " > list.txt"});
    EXPECT_EQ(command.trimmed_view(), "dir /B My Clips > list.txt");
    EXPECT_EQ(command.view().size(), 60U);

    // An empty folder leaves two blanks between the switch and the redirection.
    lineio::concatenate(command.span(), {"dir /B ", "", " > list.txt"});
    EXPECT_EQ(command.trimmed_view(), "dir /B  > list.txt");

    // Pieces longer in all than the destination are cut at its width, later pieces dropped.
    FixedText<6> short_text;
    lineio::concatenate(short_text.span(), {"abcd", "efgh", "ijk"});
    EXPECT_EQ(short_text.view(), "abcdef");

    // A piece's own trailing blanks stay in the result.
    lineio::concatenate(short_text.span(), {"a  ", "b"});
    EXPECT_EQ(short_text.view(), "a  b  ");
}

TEST(Concatenation, PiecesMayOverlapTheDestination) {
    FixedText<6> text("abcdef");
    const std::string_view whole = text.view();
    lineio::concatenate(text.span(), {whole.substr(2, 3), "X", whole.substr(0, 2)});
    EXPECT_EQ(text.view(), "cdeXab");

    FixedText<6> shifted("abcdef");
    lineio::concatenate(shifted.span(), {"12", shifted.view()});
    EXPECT_EQ(shifted.view(), "12abcd");
}

TEST(BlankPaddedComparison, PadsTheShorterText) {
    struct Case {
        std::string_view left;
        std::string_view right;
        bool equal;
    };
    const Case cases[] = {
        {"avi", "avi", true},     {"avi", "AVI", false}, {"mp4", "mp4   ", true},
        {"mp4  x", "mp4", false}, {"", "   ", true},     {"", "", true},
        {"a\t", "a", false},      {"abc", "abd", false},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(lineio::blank_padded_equal(each.left, each.right), each.equal)
            << '"' << each.left << "\" vs \"" << each.right << '"';
        EXPECT_EQ(lineio::blank_padded_equal(each.right, each.left), each.equal);
    }
}

}  // namespace
