// What the fuzz targets share: a check that stops the run loudly, and the console they fake.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "support/fake_console.hpp"

namespace fuzz_support {

// A broken expectation is a finding: libFuzzer records the abort with the input that caused it.
inline void require(bool holds, const char* expectation) {
    if (!holds) {
        std::fprintf(stderr, "fuzz expectation broken: %s\n", expectation);
        std::abort();
    }
}

}  // namespace fuzz_support
