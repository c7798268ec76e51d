// What the fuzz targets share: a reader that decodes the fuzzer's bytes from the front (so that
// seeds can be written by hand), a scratch folder that nothing outside of it can be reached from,
// and a check that stops the run loudly.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "lineio/channels.hpp"
#include "support/fake_console.hpp"

namespace fuzz_support {

// A broken expectation is a finding: it is printed and the process aborts, which libFuzzer
// records as a crash together with the input that caused it.
inline void require(bool holds, const char* expectation) {
    if (!holds) {
        std::fprintf(stderr, "fuzz expectation broken: %s\n", expectation);
        std::abort();
    }
}

// Hands out the fuzzer's bytes from the front; past the end every read gives 0.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }
    std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }
    std::int32_t int32() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= std::uint32_t{byte()} << shift;
        }
        return static_cast<std::int32_t>(value);
    }
    std::string_view bytes(std::size_t count) {
        const std::size_t taken = std::min(count, size_ - std::min(position_, size_));
        const std::string_view piece(reinterpret_cast<const char*>(data_) + position_, taken);
        position_ += taken;
        return piece;
    }
    std::string_view rest() { return bytes(size_); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Every target runs the program's pieces on the tests' fake console.
using test_support::program_end_of;

// A folder of its own under the system's temporary folder, made once for the fuzzing process and
// removed at its end.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "rur-fuzz-XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        path_ = pattern;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

    static void write(const std::filesystem::path& file, std::string_view bytes) {
        std::ofstream stream(file, std::ios::binary | std::ios::trunc);
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        require(static_cast<bool>(stream), "a scratch file can be written");
    }
    static std::string read(const std::filesystem::path& file) {
        std::ifstream stream(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path path_;
};

// Enters `folder` for as long as it lives and then returns to where the process was, so that
// libFuzzer's own relative paths (corpus, artifacts) keep meaning what they meant.
class InsideFolder {
  public:
    explicit InsideFolder(const std::filesystem::path& folder)
        : previous_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        require(previous_ >= 0, "the current folder can be remembered");
        require(::chdir(folder.c_str()) == 0, "the scratch folder can be entered");
    }
    InsideFolder(const InsideFolder&) = delete;
    InsideFolder& operator=(const InsideFolder&) = delete;
    ~InsideFolder() {
        require(::fchdir(previous_) == 0, "the previous folder can be entered again");
        ::close(previous_);
    }

  private:
    int previous_;
};

}  // namespace fuzz_support
