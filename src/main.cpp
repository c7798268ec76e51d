// Entry point: runs the dialogue on the system's console and turns its end into the exit status.
#include <exception>
#include <new>

#include "lineio/channels.hpp"
#include "lineio/console.hpp"
#include "lineio/platform.hpp"
#include "workflow/dialogue.hpp"

int main() {
    lineio::platform::prepare_standard_streams();
    lineio::SystemConsole console;
    lineio::Channels channels(console);
    try {
        try {
            workflow::run_main_dialogue(channels);
        } catch (const std::bad_alloc&) {
            channels.fail("memory allocation", lineio::console_output, "out of memory");
        } catch (const std::exception& error) {
            channels.fail("program", lineio::console_output, error.what());
        }
    } catch (const lineio::ProgramEnd& end) {
        return end.exit_status;
    }
    return lineio::orderly_exit_status;
}
