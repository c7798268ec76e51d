// What the fuzz targets share: a check that stops the run loudly, and the fuzzer's bytes read from
// the front, so that seeds can be written by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "support/fake_console.hpp"

namespace fuzz_support {

// A broken expectation is a finding: libFuzzer records the abort with the input that caused it.
inline void require(bool holds, const char* expectation) {
    if (!holds) {
        std::fprintf(stderr, "fuzz expectation broken: %s\n", expectation);
        std::abort();
    }
}

// Hands out the fuzzer's bytes from the front; past the end every byte is 0.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    std::string_view bytes(std::size_t count) {
        const std::string_view taken = rest_.substr(0, count);
        rest_.remove_prefix(taken.size());
        return taken;
    }
    std::string_view rest() { return bytes(rest_.size()); }
    std::uint8_t byte() {
        const std::string_view taken = bytes(1);
        return taken.empty() ? 0 : static_cast<std::uint8_t>(taken[0]);
    }
    std::int32_t int32() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= std::uint32_t{byte()} << shift;
        }
        return static_cast<std::int32_t>(value);
    }

  private:
    std::string_view rest_;
};

using test_support::program_end_of;

}  // namespace fuzz_support
