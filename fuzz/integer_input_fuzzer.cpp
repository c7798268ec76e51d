// Whitespace-separated integer input over arbitrary console bytes.
//
// The console's bytes are read again and again as timestamps would be, until the input fails.
// Every failure must be an input/output failure with exit status 127 and a diagnostic; and the
// values read must not depend on how the bytes arrive: the channels' reader (64 KiB buffer, the
// console handing out a few bytes a read) and a reader with a buffer of a few bytes must agree.
// Input of plain digits and blanks is also checked against a tokenizer written here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.hpp"
#include "lineio/channels.hpp"
#include "lineio/integer_input.hpp"
#include "lineio/line_reader.hpp"
#include "support/fake_console.hpp"

namespace {

using fuzz_support::require;

constexpr std::size_t most_destinations = 8;
// Before each read the destinations hold values that no input below can produce all at once.
constexpr std::int32_t untouched = -123456789;

using Values = std::vector<std::int32_t>;

struct Rounds {
    std::vector<Values> filled;  // the values after each read that succeeded
    bool failed = false;         // whether the reads ended in a failure (always, at the end)
};

std::array<std::int32_t*, most_destinations> pointers_to(Values& values) {
    std::array<std::int32_t*, most_destinations> pointers{};
    for (std::size_t index = 0; index < values.size(); ++index) {
        pointers[index] = &values[index];
    }
    return pointers;
}

// Through the channels, as the dialogue reads a timestamp.
Rounds through_channels(const std::string& input, std::size_t count, std::size_t read_size) {
    test_support::FakeConsole console(input);
    console.read_size = read_size;
    lineio::Channels channels(console);
    Rounds rounds;
    while (true) {
        Values values(count, untouched);
        const auto pointers = pointers_to(values);
        const std::optional<int> end = fuzz_support::program_end_of([&] {
            channels.integer_input(lineio::console_input,
                                   std::span<std::int32_t* const>(pointers.data(), count));
        });
        if (end.has_value()) {
            require(*end == lineio::failure_exit_status, "integer input ends only in failure");
            require(!console.error.empty(), "a failure writes its diagnostic");
            require(console.output.empty(), "integer input writes nothing to the console");
            rounds.failed = true;
            return rounds;
        }
        require(console.error.empty(), "a read that succeeds writes no diagnostic");
        rounds.filled.push_back(values);
    }
}

// Directly through a line reader with a buffer of only a few bytes.
Rounds through_small_buffer(const std::string& input, std::size_t count, std::size_t buffer) {
    std::size_t position = 0;
    lineio::LineReader reader(
        [&](char* destination, std::size_t capacity, std::size_t& got) {
            got = std::min(capacity, input.size() - position);
            input.copy(destination, got, position);
            position += got;
            return 0;
        },
        buffer);
    Rounds rounds;
    while (true) {
        Values values(count, untouched);
        const auto pointers = pointers_to(values);
        lineio::IntegerInputProblem problem;
        if (!lineio::read_integers(reader, std::span<std::int32_t* const>(pointers.data(), count),
                                   problem)) {
            require(problem.kind == lineio::IntegerInputProblem::Kind::input_ended ||
                        problem.kind == lineio::IntegerInputProblem::Kind::bad_item,
                    "reading from memory ends only at the end or at a bad item");
            rounds.failed = true;
            return rounds;
        }
        rounds.filled.push_back(values);
    }
}

// For input of digits, blanks and line feeds only, with no number of more than nine digits: the
// values line by line, each read taking `count` of them and dropping the rest of its last line.
std::optional<std::vector<Values>> plain_reference(const std::string& input, std::size_t count) {
    std::vector<Values> lines(1);
    std::string number;
    const auto end_number = [&] {
        if (!number.empty()) {
            lines.back().push_back(std::stoi(number));
            number.clear();
        }
    };
    for (const char character : input) {
        if (character >= '0' && character <= '9') {
            number.push_back(character);
            if (number.size() > 9) {
                return std::nullopt;
            }
        } else if (character == ' ' || character == '\n') {
            end_number();
            if (character == '\n') {
                lines.emplace_back();
            }
        } else {
            return std::nullopt;
        }
    }
    end_number();
    std::vector<Values> reads;
    Values current;
    for (const Values& line : lines) {
        for (const std::int32_t value : line) {
            current.push_back(value);
            if (current.size() == count) {
                reads.push_back(current);
                current.clear();
                break;  // the rest of the line is passed over
            }
        }
    }
    return reads;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::ByteReader bytes(data, size);
    const std::size_t count = 1 + bytes.byte() % most_destinations;
    const std::size_t read_size = 1 + bytes.byte() % 64;
    const std::size_t buffer = 1 + bytes.byte() % 16;
    const std::string input(bytes.rest());

    const Rounds channels = through_channels(input, count, read_size);
    const Rounds small = through_small_buffer(input, count, buffer);
    require(channels.failed && small.failed, "the reads end once the input is used up");
    require(channels.filled == small.filled, "the values do not depend on the buffer size");

    if (const auto reference = plain_reference(input, count); reference.has_value()) {
        require(channels.filled == *reference, "plain numbers read as the tokenizer reads them");
    }
    return 0;
}
