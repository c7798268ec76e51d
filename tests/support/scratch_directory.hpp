// A fresh, empty working directory for one test: made and entered on construction, left and
// removed with everything in it on destruction.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace test_support {

class ScratchDirectory {
  public:
    ScratchDirectory() : previous_(std::filesystem::current_path()) {
        std::random_device random;
        do {
            path_ = std::filesystem::temp_directory_path() /
                    ("rur-test-" + std::to_string(random()) + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
        std::filesystem::current_path(path_);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        // A test may have taken the write permission away; give it back so that all can go.
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }

    // A name given in UTF-8, which the program uses on every system; a std::string alone would be
    // read in the ANSI code page on Windows.
    static std::filesystem::path utf8_path(std::string_view name) {
        return std::u8string(name.begin(), name.end());
    }

    static void write_file(const std::filesystem::path& name, std::string_view bytes = {}) {
        std::error_code no_folder;  // a bare name has no folder to make
        std::filesystem::create_directories(name.parent_path(), no_folder);
        std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
    }

    static std::string read_file(const std::filesystem::path& name) {
        std::ifstream file(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path previous_, path_;
};

}  // namespace test_support
