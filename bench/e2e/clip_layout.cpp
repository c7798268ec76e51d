// Lays out the benchmark's clips as empty files in a new folder:
//
//   rur_clip_layout [--shuffle SEED] FOLDER COUNT
//
// Run twice with the same count, it lays out the same names, so that the program and the floor
// each get a fresh copy of the same folder. The files are made in the order of their dates, or
// with --shuffle in an order shuffled by std::shuffle over a std::mt19937 seeded with SEED. A
// filesystem that lists a folder in the order its files were made (tmpfs, newest first) then hands
// the program its names in no order, as a folder gathered in any other order would, instead of
// in the order of their dates. The same seed gives the same order on every run with one standard
// library: the engine's sequence is fixed by the C++ standard, but how std::shuffle draws from it
// is each library's own.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "clip_names.hpp"

namespace {

template <typename Number>
std::optional<Number> whole_number(std::string_view text) {
    Number value{};
    const auto parsed = std::from_chars(text.begin(), text.end(), value);
    if (parsed.ec != std::errc() || parsed.ptr != text.end()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    const bool shuffled = argc == 5 && std::string_view(argv[1]) == "--shuffle";
    if (argc != 3 && !shuffled) {
        std::fputs("usage: rur_clip_layout [--shuffle SEED] FOLDER COUNT\n", stderr);
        return 2;
    }
    char** const operands = argv + (shuffled ? 3 : 1);
    const std::optional<std::size_t> count = whole_number<std::size_t>(operands[1]);
    const std::optional<std::uint32_t> seed =
        shuffled ? whole_number<std::uint32_t>(argv[2]) : std::uint32_t{0};
    if (!count || !seed) {
        std::fputs("rur_clip_layout: COUNT and SEED must be whole numbers\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = operands[0];
    if (!std::filesystem::create_directory(folder)) {
        std::fprintf(stderr, "rur_clip_layout: %s exists already\n", operands[0]);
        return 1;
    }
    std::vector<std::string> names = bench::clip_names(*count);
    if (shuffled) {
        std::mt19937 engine(*seed);
        std::shuffle(names.begin(), names.end(), engine);
    }
    for (const std::string& name : names) {
        std::ofstream clip(folder / name, std::ios::binary);
        if (!clip) {
            std::fprintf(stderr, "rur_clip_layout: cannot create %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
