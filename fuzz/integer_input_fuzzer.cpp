// Whitespace-separated integer input over arbitrary console bytes, read again and again as
// timestamps are, until the input fails. Every failure must be an input/output failure with a
// diagnostic; the values must not depend on how many bytes each console read hands out; and input
// of plain digits, blanks and line feeds must read as the tokenizer written here reads it.
#include <vector>

#include "fuzz_support.hpp"
#include "lineio/channels.hpp"

namespace {

using fuzz_support::require;
using Values = std::vector<std::int32_t>;

// The values of every read that succeeded, up to the failure that always ends the input. Each
// value starts as a number no input below produces in every destination.
std::vector<Values> read_all(const std::string& input, std::size_t count, std::size_t read_size) {
    test_support::FakeConsole console(input);
    console.read_size = read_size;
    lineio::Channels channels(console);
    std::vector<Values> reads;
    while (true) {
        Values values(count, -123456789);
        std::vector<std::int32_t*> pointers;
        for (std::int32_t& value : values) {
            pointers.push_back(&value);
        }
        const std::optional<int> end = test_support::program_end_of(
            [&] { channels.integer_input(lineio::console_input, std::span(pointers)); });
        if (end.has_value()) {
            require(*end == lineio::failure_exit_status, "integer input ends only in failure");
            require(!console.error.empty(), "a failure writes its diagnostic");
            require(console.output.empty(), "integer input writes nothing to the console");
            return reads;
        }
        reads.push_back(values);
    }
}

// For digits, blanks and line feeds with no number past nine digits: each read takes `count`
// values and drops the rest of the line its last value stands on.
std::optional<std::vector<Values>> plain_reference(const std::string& input, std::size_t count) {
    std::vector<Values> reads;
    Values current;
    std::string number;
    bool line_done = false;
    for (const char character : input + "\n") {
        if (character >= '0' && character <= '9' && number.size() < 9) {
            number.push_back(character);
            continue;
        }
        if (character != ' ' && character != '\n') {
            return std::nullopt;
        }
        if (!number.empty() && !line_done) {
            current.push_back(std::stoi(number));
            line_done = current.size() == count;
        }
        if (line_done && !current.empty()) {
            reads.push_back(current);
            current.clear();
        }
        number.clear();
        line_done = line_done && character != '\n';
    }
    return reads;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz_support::bytes_of(data, size, 2);
    const std::size_t count = 1 + static_cast<std::uint8_t>(bytes[0]) % 8;
    const std::size_t read_size = 1 + static_cast<std::uint8_t>(bytes[1]) % 64;
    const std::string input = bytes.substr(2);
    const std::vector<Values> reads = read_all(input, count, 4096);
    require(read_all(input, count, read_size) == reads,
            "the values do not depend on how the bytes arrive");
    if (const auto reference = plain_reference(input, count); reference.has_value()) {
        require(reads == *reference, "plain numbers read as the tokenizer reads them");
    }
    return 0;
}
