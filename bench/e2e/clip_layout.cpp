// Lays out the benchmark's clips as empty files in a new folder:
//
//   rur_clip_layout FOLDER COUNT
//
// Run twice with the same count, it lays out the same names, so that the program and the floor
// each get a fresh copy of the same folder.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "clip_names.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: rur_clip_layout FOLDER COUNT\n", stderr);
        return 2;
    }
    const std::string_view count_text = argv[2];
    std::size_t count = 0;
    const auto parsed = std::from_chars(count_text.begin(), count_text.end(), count);
    if (parsed.ec != std::errc() || parsed.ptr != count_text.end()) {
        std::fputs("rur_clip_layout: COUNT must be a whole number\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    if (!std::filesystem::create_directory(folder)) {
        std::fprintf(stderr, "rur_clip_layout: %s exists already\n", argv[1]);
        return 1;
    }
    for (const std::string& name : bench::clip_names(count)) {
        std::ofstream clip(folder / name, std::ios::binary);
        if (!clip) {
            std::fprintf(stderr, "rur_clip_layout: cannot create %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
