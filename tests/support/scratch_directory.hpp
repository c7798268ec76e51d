// A fresh, empty working directory for one test: made and entered on construction, left and
// removed with everything in it on destruction.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

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
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }

    static void write_file(const std::filesystem::path& name, const std::string& bytes) {
        std::ofstream file(name, std::ios::binary | std::ios::trunc);
        file << bytes;
    }

    static std::string read_file(const std::filesystem::path& name) {
        std::ifstream file(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace test_support
