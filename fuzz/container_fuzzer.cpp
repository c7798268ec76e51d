// Any bytes as a clip, read whole or failing halfway: the date reader never reads past the
// source (the memory source stops the run), and every field it finds lies inside the clip, holds
// the bytes it says, and keeps their length.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "media/clip_dates.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const std::int64_t shift : {-4500LL, 86400LL, 4102444800LL}) {
        media::MemorySource source(bytes);
        if (shift == 86400) {
            source.fail_from(size / 2);  // a bad sector halfway
        }
        const media::ClipDates dates = media::read_clip_dates(source, shift);
        fuzz_support::require(dates.left_alone.empty() || dates.fields.empty(),
                              "a clip left alone has no field to write");
        for (const media::DateField& field : dates.fields) {
            fuzz_support::require(
                field.offset <= size && field.old_bytes.size() <= size - field.offset &&
                    bytes.compare(field.offset, field.old_bytes.size(), field.old_bytes) == 0,
                "a field holds its old bytes, inside the clip");
            fuzz_support::require(field.new_bytes.size() == field.old_bytes.size(),
                                  "a field keeps its length");
        }
    }
    return 0;
}
