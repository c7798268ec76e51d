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

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Puts the standard streams in the state the program expects (binary mode where the system
// would otherwise translate line ends; one the program was started without held, so that none
// of its files takes that place). Called once at start.
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
bool standard_input_is_terminal();

// Whether a file name can hold a double quote. No Windows name can, so there an answer pasted from
// Explorer's "Copy as path", which comes in quotes, may lose them without naming another folder.
#ifdef _WIN32
inline constexpr bool names_may_hold_double_quotes = false;
// Whether every name is text, as on Windows, where a name is UTF-16; POSIX names are bytes.
inline constexpr bool names_are_text = true;
// Whether a program's users ask for help with /?, as Windows programs are asked.
inline constexpr bool help_option_slash = true;
inline constexpr std::string_view path_separators = "\\/";
#else
inline constexpr bool names_may_hold_double_quotes = true;
inline constexpr bool names_are_text = false;
inline constexpr bool help_option_slash = false;
inline constexpr std::string_view path_separators = "/";
#endif

// The errors this layer's calls return for a name that is missing, a name that is taken and a
// change that is refused, for code that foretells a call without making it: a dry run must fail as
// the real call would, and a taken name must read as taken (is_taken_name_refusal) on every system.
#ifdef _WIN32
inline constexpr int missing_name_error = 2;    // ERROR_FILE_NOT_FOUND
inline constexpr int taken_name_error = 183;    // ERROR_ALREADY_EXISTS
inline constexpr int refused_change_error = 5;  // ERROR_ACCESS_DENIED
#else
inline constexpr int missing_name_error = ENOENT;
inline constexpr int taken_name_error = EEXIST;
inline constexpr int refused_change_error = EACCES;
#endif

// The error with which a rename in two steps refuses a folder, which has neither a link nor a
// claim of its own: it is that one entry's failure.
#ifdef _WIN32
inline constexpr int folder_rename_error = 267;  // ERROR_DIRECTORY
#else
inline constexpr int folder_rename_error = EISDIR;
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
    // Makes what was written durable on the medium, before anything that relies on it.
    int sync();
    int close();

  private:
    std::intptr_t handle_ = -1;
    bool writable_ = false;
    // Where the next write goes, kept here rather than asked of the system before every write.
    std::uint64_t position_ = 0;
};

// What tells one file from another whatever its name: its volume and its number there (device and
// inode on POSIX; volume serial number and file ID on Windows, 128 bits on ReFS, whose high half
// is `index_high`), how many names it has, its size and last-write time, which identify a clip
// where the numbers do not outlive a remount, and its birth time where the system reports one.
// All of it comes from one call of the system.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t index_high = 0;
    std::uint64_t links = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the system's epoch, or time_not_kept
    std::int64_t born = 0;      // nanoseconds since the system's epoch, when `born_known`
    std::int64_t accessed = 0;  // the last access, nanoseconds since the epoch (POSIX only)
    bool born_known = false;
    bool regular = false;
    bool directory = false;

    bool same_file(const FileIdentity& other) const {
        return volume == other.volume && index == other.index && index_high == other.index_high;
    }
};

// Whether a file number on this system changes when the number is given to a new file (NTFS and
// ReFS carry a sequence number in it), so that the number alone tells a file from its successor.
#ifdef _WIN32
inline constexpr bool numbers_change_on_reuse = true;
#else
inline constexpr bool numbers_change_on_reuse = false;
#endif

// One entry of a folder's listing, with the file number the listing itself gives (0 when it
// gives none).
// The name is valid only during the call that hands the entry over.
struct FolderEntry {
    std::string_view name;
    std::uint64_t index = 0;
};

// A folder opened once, whose names are then reached relative to it: a folder renamed or
// replaced by a link meanwhile does not move what the calls touch. Every name handed to its calls
// is one component of a path, without separators. Move-only; closes itself.
class Folder {
  public:
    Folder() = default;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    ~Folder();

    // Opens `path` (the current directory when empty). With `follow_last_link` false, a
    // symbolic link as the last component is refused (see is_symbolic_link_refusal).
    int open(const std::string& path, bool follow_last_link);
    bool is_open() const;
    int identify_self(FileIdentity& identity) const;
    // True where the file numbers outlive a remount (ext4, XFS, Btrfs, tmpfs, NTFS), so that a
    // number taken now still names the same file after a power cut.
    bool keeps_file_numbers() const;
    // True where rename_atomically is to be expected to work: on the system's own filesystems,
    // not through FUSE or a network, whose server may lack the step.
    bool renames_atomically() const;
    // True where this process may change names at all: the folder may be written and searched,
    // and its medium is not read-only.
    bool names_may_change() const;

    // Hands `visit` each entry but hidden ones (names beginning with "." on POSIX, the hidden or
    // system attribute on Windows) and names that hold a line break, unsorted, one at a time, so
    // that a caller keeps only what it needs of 100,000 of them.
    int list(const std::function<void(const FolderEntry&)>& visit) const;
    // The identity of `name`, a symbolic link being a file of its own.
    int identify(const std::string& name, FileIdentity& identity) const;
    int exists(const std::string& name, bool& found) const;
    // Whether `name` could be opened to write, asked without opening it: 0, or the error such an
    // opening would meet for the file's permissions, its read-only attribute or a read-only
    // medium. A preview asks it, writing nothing.
    int may_write(const std::string& name) const;

    // Renames in one step of the system that never replaces an existing file (EEXIST,
    // ERROR_ALREADY_EXISTS when `to` exists). Where the filesystem has no such step the call
    // changes nothing and fails with an error for which is_unsupported_rename holds.
    int rename_atomically(const std::string& from, const std::string& to) const;
    // Links `to` to the file `from` (failing when `to` exists), then removes `from`. A kill
    // between the two leaves the file under both names. Where the filesystem has no hard links
    // the link fails with an error for which lacks_hard_links holds, and nothing has changed.
    int rename_by_link(const std::string& from, const std::string& to) const;
    // Creates `name` as an empty file of its own, failing when the name is taken.
    int claim(const std::string& name) const;
    // Renames `from` onto `to`, replacing it: only ever onto a claim of the program's own.
    int rename_onto_claim(const std::string& from, const std::string& to) const;
    // Gives the file `existing` the further name `name`, failing when `name` is taken.
    int add_name(const std::string& existing, const std::string& name) const;
    int remove_name(const std::string& name) const;
    // Makes the folder's names durable on the medium.
    int sync() const;

  private:
    friend class ClipFile;
    std::intptr_t handle_ = -1;
    std::string path_;
};

// What FileIdentity's times hold for a time whose nanoseconds since the epoch 64 bits do not
// reach (before 1678 or after 2262; on Windows, after 2185): no true time is this one.
inline constexpr std::int64_t time_not_kept = std::numeric_limits<std::int64_t>::min();

// Seconds between the epoch of FileIdentity::modified and 1970-01-01 UTC: 1601 on Windows.
#ifdef _WIN32
inline constexpr std::int64_t file_time_epoch_before_1970 = 11644473600;
#else
inline constexpr std::int64_t file_time_epoch_before_1970 = 0;
#endif

// A clip inside an open Folder whose recorded dates and file time are corrected: read and written
// at offsets, never resized, never through a symbolic link. Opened to write, it keeps other
// writers out where the system can (Windows); a cloud placeholder, whose first read would download
// the whole clip, is refused (placeholder_refused). Move-only; closes itself.
class ClipFile {
  public:
    ClipFile() = default;
    ClipFile(const ClipFile&) = delete;
    ClipFile& operator=(const ClipFile&) = delete;
    ClipFile(ClipFile&& other) noexcept;
    ClipFile& operator=(ClipFile&& other) noexcept;
    ~ClipFile();

    // Opens `name`, one component inside `folder`, to read or to read and write, and tells what
    // Folder::identify would of it, from the call that makes sure it is a regular file.
    int open(const Folder& folder, const std::string& name, bool write, FileIdentity& identity);
    bool is_open() const { return handle_ != -1; }
    // Reads `size` bytes at `offset` into `into`, fewer only at the end of the file (`got`).
    int read_at(std::uint64_t offset, char* into, std::size_t size, std::size_t& got) const;
    // Writes all of `bytes` at `offset`, in one call where the system takes them whole.
    int write_at(std::uint64_t offset, std::string_view bytes) const;
    // Sets the last-write time alone (nanoseconds since the epoch of FileIdentity::modified), the
    // access and creation times left as they are; Windows keeps 100 ns steps.
    int set_modified(std::int64_t nanoseconds) const;
    // Nothing is told: a patch is a few bytes in place, and the journal keeps them old and new,
    // so what a clip holds after a failed close is read again by whatever comes next.
    void close();

  private:
    std::intptr_t handle_ = -1;
    std::int64_t accessed_ = 0;  // the last access when opened, which setting the file time keeps
};

// The error with which ClipFile::open refuses a cloud placeholder; no system error number has it.
inline constexpr int placeholder_refused = 0x7ffe0002;

// How many seconds local time is ahead of UTC at the moment `unix_seconds`, by this machine's
// time zone and its rules at that date.
std::int64_t local_offset_at(std::int64_t unix_seconds);

// True for the error with which Folder::rename_atomically says the filesystem has no such step.
bool is_unsupported_rename(int error);
// True for the error with which a hard link fails where the filesystem has none.
bool lacks_hard_links(int error);

// Deletes the file `name`.
int remove_file(const std::string& name);

// Reads the file `name` whole into `text`; 0 or the system's error.
int read_whole_file(const std::string& name, std::string& text);

// True for the error with which File::create_new refuses a name that is taken.
bool is_taken_name_refusal(int error);
// True for an error that says a path names nothing: no such file, or no folder on its way.
bool is_missing_path(int error);
// True for an error that says the file may not be made or written there.
bool is_permission_refusal(int error);

// How many processes share the program's console window, the program among them; 0 when it has
// none. One means the window was opened for the program alone, as a double-click opens one, and
// closes when it ends. A POSIX terminal always belongs to the shell or the emulator that opened it
// as well, so there the count is never 1.
int console_process_count();

// How to name this program, started as `started_as` (its first argument), in a command printed
// for the person at the console, so that the command works as typed from the current directory.
std::string command_name(std::string_view started_as);

// `argument` as a shell the person is likely to paste a printed command into reads it back: as it
// is when it holds nothing that shell would split or interpret, otherwise quoted (single quotes
// for a POSIX shell and PowerShell, double quotes for cmd).
std::string command_argument(std::string_view argument);

// Makes the folder that holds the folder `folder` the current directory, and sets `name` to the
// folder's name there, so that the program works as if started beside it. A link on the way is
// followed first: `name` is the folder's own name. A folder that has none above it (a root, a
// drive) leaves `name` empty and the current directory as it was.
int enter_parent_folder(const std::string& folder, std::string& name);

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

// The absolute path of `name` with every symbolic link on the way resolved.
int real_path(const std::string& name, std::string& resolved);

// The error with which a read or an open refuses what is not a regular file (a folder, a pipe, a
// device); no system error number has this value.
inline constexpr int not_a_regular_file = 0x7ffe0001;

}  // namespace platform
