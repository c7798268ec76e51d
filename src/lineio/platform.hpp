// The only door to the operating system. Everything else in the program is portable C++ and
// reaches standard streams, files, folders and renames through these calls. One source file per
// system implements them: platform_posix.cpp, platform_windows.cpp.
//
// Convention: a call that can fail returns 0 on success, otherwise the system's error number
// (errno on POSIX, the Win32 error code on Windows), always positive. Names are handed over as byte
// strings relative to the current directory, UTF-8 on Windows; a name holding a NUL byte names no
// file and is refused (EINVAL, ERROR_INVALID_NAME), and so is one that is no UTF-8 on Windows.
// Text read from and written to the console is UTF-8 too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lineio::platform {

// Puts the standard streams in the state the program expects (binary mode where the system
// would otherwise translate line ends). Called once at start.
void prepare_standard_streams();

// The program's arguments after its own name, in UTF-8, given main's. On Windows they come from
// the wide command line instead, which holds every character as typed.
std::vector<std::string> program_arguments(int argc, char** argv);

// `bytes` in the OEM code page that Windows consoles used by default, as UTF-8: what a console
// run of an earlier version wrote, in the console's code page, reads as the same names again.
// On POSIX, where text was always written as it came, `bytes` as they are.
std::string from_legacy_code_page(std::string_view bytes);

// Reads at most `capacity` bytes of standard input. Sets `count` (0 at the end of the input).
int read_standard_input(char* buffer, std::size_t capacity, std::size_t& count);

// Writes all of `bytes`, retrying short writes and interruptions.
int write_standard_output(std::string_view bytes);
int write_standard_error(std::string_view bytes);

// True when standard output is a terminal (a person reads it as it comes).
bool standard_output_is_terminal();

// Whether a file name can hold a double quote. No Windows name can, so there an answer pasted from
// Explorer's "Copy as path", which comes in quotes, may lose them without naming another folder.
#ifdef _WIN32
inline constexpr bool names_may_hold_double_quotes = false;
#else
inline constexpr bool names_may_hold_double_quotes = true;
#endif

// A human-readable reason for an error number returned by this layer.
std::string describe_error(int error);

// True for the error with which File refuses a symbolic link (ELOOP on POSIX), which the system's
// own description would not make plain.
bool is_symbolic_link_refusal(int error);

// True for the error with which File refuses a file that has more than one name (a hard link),
// since writing it would change the file under its other names as well.
bool is_hard_link_refusal(int error);

// An open file in the current directory, read and written sequentially. Move-only; closes itself.
class File {
  public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    // Opens `name` for reading and writing at its first byte, creating it empty when missing.
    // An existing file that may not be written is opened for reading only. A symbolic link is
    // never followed: such a name is refused (see is_symbolic_link_refusal), so nothing is ever
    // written through a link. A file with more than one name is refused as well
    // (is_hard_link_refusal).
    int open_or_create(const std::string& name);

    // Creates `name` empty, or empties an existing regular file, as an output redirection does,
    // and leaves it open for writing. Refuses a symbolic link without touching its target, and a
    // file with more than one name without touching it.
    int create_or_empty(const std::string& name);

    bool is_open() const;
    bool is_writable() const;

    // Reads at most `capacity` bytes at the current position; `count` is 0 at the end of the file.
    int read(char* buffer, std::size_t capacity, std::size_t& count);
    // Writes all of `bytes` at the current position with as few system calls as the system allows
    // (one for a line), so that a line is in the file when this returns. When the bytes do not all
    // fit (a full disk), the file is cut back to where this write began and the error returned
    // (ENOSPC, ERROR_DISK_FULL when the system gave no other): a file written a line at a time
    // then always ends in a whole line.
    int write(std::string_view bytes);
    // Cuts the file off at the current position.
    int truncate_at_position();

    // Creates `name` for writing when no file, folder or link of that name exists; a taken name
    // fails (see is_taken_name_refusal) and is left as it is, so nothing is ever replaced and
    // nothing is written through a link.
    int create_new(const std::string& name);
    // Opens an existing file for reading only.
    int open_to_read(const std::string& name);
    // Cuts the file off after its first `size` bytes and goes on writing there.
    int truncate_to(std::uint64_t size);
    int close();

  private:
    std::intptr_t handle_ = -1;
    bool writable_ = false;
};

// Renames `from` to `to` and never replaces an existing file: when `to` exists the call fails
// (EEXIST, ERROR_ALREADY_EXISTS) and both files stay as they are. When `to` is exactly `from`, the
// file already bears that name: returns 0 and changes nothing.
int rename_no_replace(const std::string& from, const std::string& to);

// What tells one file from another whatever its name: its volume and its number there (device and
// inode on POSIX, volume serial number and file index on Windows), and how many names it has.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t links = 0;

    bool same_file(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};

// The identity of the file `name`, a symbolic link being a file of its own.
int identify_file(const std::string& name, FileIdentity& identity);

// Removes `name` only while it is a name of the file `file` (same volume and index) and that file
// has another name: a clip that bears two names loses one and keeps the other. Otherwise nothing
// is removed and the call fails (EPERM, ERROR_ACCESS_DENIED when `name` exists).
int remove_second_name(const std::string& name, const FileIdentity& file);

// Lists the entries of `folder` (the current directory when empty): files and subfolders alike,
// except hidden ones (names beginning with "." on POSIX) and names that hold a line break, which
// no line of a listing could carry. The names come unsorted.
int list_folder(const std::string& folder, std::vector<std::string>& names);

// Deletes the file `name`.
int remove_file(const std::string& name);

// True for the error with which File::create_new refuses a name that is taken.
bool is_taken_name_refusal(int error);
// True for an error that says the file may not be made or written there.
bool is_permission_refusal(int error);

// Sets `exists` to whether something bears `name`: a file, a folder, or a link, which is not
// followed (a link to nothing still takes its name).
int name_exists(const std::string& name, bool& exists);

// The local date and time now.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
LocalTime local_time();

// `path` taken as seen from the folder that holds the file `file`: an absolute path as it is,
// a relative one behind the folder part of `file`.
std::string path_beside(std::string_view file, std::string_view path);

}  // namespace lineio::platform
