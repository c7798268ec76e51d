// What both systems do alike, through the calls each of them implements.
#include <array>

#include "platform/platform.hpp"

namespace platform {

int read_whole_file(const std::string& name, std::string& text) {
    text.clear();
    File file;
    if (const int error = file.open_to_read(name); error != 0) {
        return error;
    }
    std::array<char, std::size_t{64} * 1024> buffer{};
    std::size_t count = 0;
    do {
        if (const int error = file.read(buffer.data(), buffer.size(), count); error != 0) {
            return error;
        }
        text.append(buffer.data(), count);
    } while (count > 0);
    return file.close();
}

}  // namespace platform
