// The console as the channels see it: standard input, output and error. The program runs on the
// system's console; tests hand in a fake one that feeds input bytes and collects output bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lineio {

class Console {
  public:
    Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    virtual ~Console() = default;

    // Reads at most `capacity` input bytes; `count` is 0 at the end of the input.
    // Returns 0, or the system's error number.
    virtual int read_input(char* buffer, std::size_t capacity, std::size_t& count) = 0;
    // Writes all of `bytes`; returns 0, or the system's error number.
    virtual int write_output(std::string_view bytes) = 0;
    virtual int write_error(std::string_view bytes) = 0;
    // True when a person reads the output as it comes, so that every line must be written
    // through at once. Otherwise output may be gathered, and is written out before every read
    // of the input and at every end of the program.
    virtual bool output_is_interactive() const = 0;
    // True when a person types the input.
    virtual bool input_is_interactive() const { return false; }
};

// The console of the running program: standard input, output and error.
class SystemConsole final : public Console {
  public:
    SystemConsole();
    int read_input(char* buffer, std::size_t capacity, std::size_t& count) override;
    int write_output(std::string_view bytes) override;
    int write_error(std::string_view bytes) override;
    bool output_is_interactive() const override;
    bool input_is_interactive() const override;

  private:
    bool interactive_;
    std::string shown_;  // output as a terminal shows it, reused from one write to the next
};

}  // namespace lineio
