// What the fuzz targets share: a check that stops the run loudly, and the fuzzer's bytes padded
// with zeros to the length a target reads, so that seeds can be written by hand.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/fake_console.hpp"

namespace fuzz_support {

// A broken expectation is a finding: libFuzzer records the abort with the input that caused it.
inline void require(bool holds, const char* expectation) {
    if (!holds) {
        std::fprintf(stderr, "fuzz expectation broken: %s\n", expectation);
        std::abort();
    }
}

inline std::string bytes_of(const std::uint8_t* data, std::size_t size, std::size_t at_least) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    bytes.resize(std::max(size, at_least), '\0');
    return bytes;
}

}  // namespace fuzz_support
