// The floor of the end-to-end benchmark: the least any program must do to rename the clips of a
// folder. It lists the folder, then renames each clip to its shifted name with one renameat2 that
// never replaces, trying the burst numbers "01" to "40" in place of the seconds when the name is
// taken. Nothing else: no listing file, no console lines, no report.
//
//   rur_rename_floor FOLDER "CAMERA yyyy mm dd hh mm ss" "ACTUAL yyyy mm dd hh mm ss"
//
// The shift is computed with the standard library's calendar, independently of the program's, so
// that the benchmark's comparison of both results checks the program's names too. Prints how many
// clips were renamed, and of how many listed.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::chrono;

constexpr std::size_t name_length = 23;
constexpr int burst_count = 40;

bool read_minute(const char* text, sys_time<minutes>& minute) {
    std::istringstream fields(text);
    int values[6] = {};
    for (int& value : values) {
        if (!(fields >> value)) {
            return false;
        }
    }
    const year_month_day date{year{values[0]}, month{static_cast<unsigned>(values[1])},
                              day{static_cast<unsigned>(values[2])}};
    if (!date.ok()) {
        return false;
    }
    minute = sys_days{date} + hours{values[3]} + minutes{values[4]};
    return true;
}

bool two_digits(std::string_view text, int& value) {
    if (text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') {
        return false;
    }
    value = (text[0] - '0') * 10 + (text[1] - '0');
    return true;
}

void put_two_digits(char* place, unsigned value) {
    place[0] = static_cast<char>('0' + value / 10 % 10);
    place[1] = static_cast<char>('0' + value % 10);
}

// The shifted name of a clip: "yyyy mm dd hh mm ss.ext", seconds and extension kept.
bool shifted_name(std::string_view name, minutes correction,
                  std::array<char, name_length + 1>& to) {
    int century = 0;
    int years = 0;
    int month_number = 0;
    int day_number = 0;
    int hour = 0;
    int minute = 0;
    if (name.size() != name_length || !two_digits(name.substr(0, 2), century) ||
        !two_digits(name.substr(2, 2), years) || !two_digits(name.substr(5, 2), month_number) ||
        !two_digits(name.substr(8, 2), day_number) || !two_digits(name.substr(11, 2), hour) ||
        !two_digits(name.substr(14, 2), minute) || hour > 23 || minute > 59) {
        return false;
    }
    const year_month_day date{year{century * 100 + years},
                              month{static_cast<unsigned>(month_number)},
                              day{static_cast<unsigned>(day_number)}};
    if (!date.ok()) {
        return false;
    }
    const sys_time<minutes> shifted = sys_days{date} + hours{hour} + minutes{minute} + correction;
    const sys_days shifted_day = floor<days>(shifted);
    const year_month_day shifted_date{shifted_day};
    const hh_mm_ss<minutes> shifted_time{shifted - shifted_day};
    const auto shifted_year = static_cast<unsigned>(static_cast<int>(shifted_date.year()));
    std::memcpy(to.data(), "yyyy mm dd hh mm ss", 19);
    put_two_digits(to.data(), shifted_year / 100);
    put_two_digits(to.data() + 2, shifted_year % 100);
    put_two_digits(to.data() + 5, static_cast<unsigned>(shifted_date.month()));
    put_two_digits(to.data() + 8, static_cast<unsigned>(shifted_date.day()));
    put_two_digits(to.data() + 11, static_cast<unsigned>(shifted_time.hours().count()));
    put_two_digits(to.data() + 14, static_cast<unsigned>(shifted_time.minutes().count()));
    std::memcpy(to.data() + 17, name.data() + 17, 6);  // the seconds, the dot and the extension
    to[name_length] = '\0';
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    sys_time<minutes> camera;
    sys_time<minutes> actual;
    if (argc != 4 || !read_minute(argv[2], camera) || !read_minute(argv[3], actual)) {
        std::fputs(
            "usage: rur_rename_floor FOLDER \"yyyy mm dd hh mm ss\" \"yyyy mm dd hh mm ss\"\n",
            stderr);
        return 2;
    }
    const minutes correction = actual - camera;

    DIR* folder = opendir(argv[1]);
    if (folder == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    // The whole listing first: a folder read while its entries are renamed may show a clip twice.
    std::vector<std::string> names;
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] != '.') {
            names.emplace_back(entry->d_name);
        }
    }

    const int descriptor = dirfd(folder);
    std::size_t renamed = 0;
    std::array<char, name_length + 1> new_name{};
    for (const std::string& name : names) {
        if (!shifted_name(name, correction, new_name)) {
            continue;
        }
        bool done =
            renameat2(descriptor, name.c_str(), descriptor, new_name.data(), RENAME_NOREPLACE) == 0;
        for (int burst = 1; !done && errno == EEXIST && burst <= burst_count; ++burst) {
            put_two_digits(new_name.data() + 17, static_cast<unsigned>(burst));
            done = renameat2(descriptor, name.c_str(), descriptor, new_name.data(),
                             RENAME_NOREPLACE) == 0;
        }
        renamed += done ? 1 : 0;
    }
    closedir(folder);
    std::printf("%zu of %zu renamed\n", renamed, names.size());
    return 0;
}
