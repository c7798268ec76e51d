// The platform layer on Windows. Inside the program every name and text is UTF-8, as on Linux;
// here it meets the system through the wide (UTF-16) calls only, so that no name is ever seen
// through a code page, which could map a character it lacks to a look-alike and name another
// file. The console's code pages are left alone: they belong to the whole console session.
// Error numbers are Win32 error codes (GetLastError).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "lineio/unicode_text.hpp"
#include "platform/platform.hpp"
#include "version.hpp"

namespace platform {
namespace unicode = lineio::unicode;
namespace {

// One ReadFile or WriteFile moves at most this many bytes: the calls count in 32 bits, and
// older consoles refuse very large writes.
constexpr std::size_t largest_transfer = std::size_t{32} * 1024;

int last_error() {
    const DWORD error = GetLastError();
    // Some calls report an HRESULT that wraps a Win32 code; keep the code, which has a message.
    if (HRESULT_FACILITY(error) == FACILITY_WIN32 && (error & 0x80000000U) != 0) {
        return static_cast<int>(HRESULT_CODE(error));
    }
    if (error == 0 || error > static_cast<DWORD>(INT_MAX)) {
        return ERROR_GEN_FAILURE;
    }
    return static_cast<int>(error);
}

std::wstring as_wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

std::string utf8_of(std::wstring_view text) {
    return unicode::to_utf8(std::u16string(text.begin(), text.end()));
}

bool is_high_surrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The form in which the wide calls take `name`: a full path behind the \\?\ prefix, with which
// the system takes paths of any length rather than at most 260 characters. GetFullPathNameW gives
// the full path exactly as the system would make it of a relative name (the current directory,
// "." and "..", the blanks and dots that end a name), so a name means here what it would mean to
// any other program. The prefixed form is taken literally, so every '/' must be a '\' by then.
// A name holding a NUL (a C string would stop there and name a shorter one) or bytes that are no
// UTF-8 names no file.
int system_path(const std::string& name, std::wstring& path) {
    std::u16string wide;
    if (name.find('\0') != std::string::npos || !unicode::to_utf16(name, wide)) {
        return ERROR_INVALID_NAME;
    }
    std::replace(wide.begin(), wide.end(), u'/', u'\\');
    const std::wstring relative = wide.empty() ? std::wstring(L".") : as_wide(wide);
    std::wstring full(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = GetFullPathNameW(relative.c_str(), static_cast<DWORD>(full.size()),
                                              full.data(), nullptr);
        if (length == 0) {
            return last_error();
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        // Too small: the length asked for includes the terminating NUL.
        full.assign(length, L'\0');
    }
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) {
        path = full;
    } else if (full.starts_with(L"\\\\")) {
        path = L"\\\\?\\UNC\\" + full.substr(2);
    } else {
        path = L"\\\\?\\" + full;
    }
    return 0;
}

HANDLE as_handle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::intptr_t as_value(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

int write_all(HANDLE handle, std::string_view bytes) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return ERROR_INVALID_HANDLE;
    }
    while (!bytes.empty()) {
        const DWORD wanted = static_cast<DWORD>(std::min(bytes.size(), largest_transfer));
        DWORD written = 0;
        if (WriteFile(handle, bytes.data(), wanted, &written, nullptr) == 0) {
            return last_error();
        }
        if (written == 0) {
            // Nothing went in and the system named no reason: there is no room for more.
            return ERROR_DISK_FULL;
        }
        bytes.remove_prefix(written);
    }
    return 0;
}

bool is_console(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetConsoleMode(handle, &mode) != 0;
}

// A console window takes characters, not bytes: the UTF-8 goes in as UTF-16, and whatever is no
// UTF-8 (a name typed into a pipe in another encoding) is shown as the replacement character.
int write_console(HANDLE handle, std::string_view bytes) {
    const std::wstring text = as_wide(unicode::to_utf16_for_display(bytes));
    std::wstring_view rest = text;
    while (!rest.empty()) {
        std::size_t wanted = std::min(rest.size(), largest_transfer / 2);
        // Both halves of a surrogate pair go in one call, or the console shows two bad halves.
        if (wanted < rest.size() && is_high_surrogate(rest[wanted - 1])) {
            --wanted;
        }
        DWORD written = 0;
        if (WriteConsoleW(handle, rest.data(), static_cast<DWORD>(wanted), &written, nullptr) ==
            0) {
            return last_error();
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        rest.remove_prefix(written);
    }
    return 0;
}

int write_standard(DWORD which, std::string_view bytes) {
    const HANDLE handle = GetStdHandle(which);
    return is_console(handle) ? write_console(handle, bytes) : write_all(handle, bytes);
}

// What the console has handed over and the program has not yet taken: UTF-8 bytes, and the first
// half of a surrogate pair whose second half comes with the next read.
struct ConsoleInput {
    std::string bytes;
    std::u16string held;
    bool ended = false;
};

// Typed characters arrive as UTF-16, a line at a time, and are handed on as UTF-8.
int read_console(HANDLE handle, char* buffer, std::size_t capacity, std::size_t& count) {
    static ConsoleInput input;
    while (input.bytes.empty() && !input.ended) {
        std::array<wchar_t, 4096> typed{};
        DWORD got = 0;
        if (ReadConsoleW(handle, typed.data(), static_cast<DWORD>(typed.size()), &got, nullptr) ==
            0) {
            return last_error();
        }
        // Ctrl+Z at the start of a line ends a console's input, as it does for ReadFile.
        if (got == 0 || typed[0] == L'\x1a') {
            input.ended = true;
            break;
        }
        input.held.append(typed.begin(), typed.begin() + got);
        const std::size_t whole =
            input.held.size() - (is_high_surrogate(input.held.back()) ? 1 : 0);
        input.bytes += unicode::to_utf8(std::u16string_view(input.held).substr(0, whole));
        input.held.erase(0, whole);
    }
    count = input.bytes.copy(buffer, capacity);
    input.bytes.erase(0, count);
    return 0;
}

int read_some(HANDLE handle, char* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return ERROR_INVALID_HANDLE;
    }
    const DWORD wanted = static_cast<DWORD>(std::min(capacity, largest_transfer));
    DWORD got = 0;
    if (ReadFile(handle, buffer, wanted, &got, nullptr) == 0) {
        const DWORD error = GetLastError();
        // A pipe whose writer has gone, and a file read past its end, both just end the input.
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
            return 0;
        }
        return last_error();
    }
    count = got;
    return 0;
}

void set_binary_mode(std::FILE* stream) {
    // A process started without a console has no descriptor here; _setmode would then abort.
    const int descriptor = _fileno(stream);
    if (descriptor >= 0) {
        _setmode(descriptor, _O_BINARY);
    }
}

// The refusals of a symbolic link or junction, and of a file with several names, by
// refuse_unless_plain_file.
constexpr int reparse_point_refused = ERROR_CANT_ACCESS_FILE;
constexpr int hard_link_refused = ERROR_TOO_MANY_LINKS;

// Opening with FILE_FLAG_OPEN_REPARSE_POINT gives the link itself, never its target, so it is
// checked here before a single byte is written: nothing is ever written through a symbolic link or
// a junction, nor into a file that other names share, and a folder is no file to read lines from.
int refuse_unless_plain_file(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(handle, &information) == 0) {
        return last_error();
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return reparse_point_refused;
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ERROR_DIRECTORY;
    }
    if (information.nNumberOfLinks > 1) {
        return hard_link_refused;
    }
    return 0;
}

FileIdentity identity_of(const BY_HANDLE_FILE_INFORMATION& information) {
    FileIdentity identity;
    identity.volume = information.dwVolumeSerialNumber;
    identity.index = (std::uint64_t{information.nFileIndexHigh} << 32U) | information.nFileIndexLow;
    identity.links = information.nNumberOfLinks;
    identity.directory = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return identity;
}

// ReFS numbers its files in 128 bits, of which the 64 above are only a part; NTFS gives the same
// 64 bits with a high half of zeros. Both carry a sequence number that changes when a number is
// reused. A creation time proves nothing here: a file created under a name freed moments before
// is given the old file's creation time.
void add_full_number(HANDLE handle, FileIdentity& identity) {
    FILE_ID_INFO full{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &full, sizeof full) != 0) {
        std::uint64_t low = 0;
        std::memcpy(&low, full.FileId.Identifier, sizeof low);
        std::memcpy(&identity.index_high, full.FileId.Identifier + sizeof low,
                    sizeof identity.index_high);
        identity.index = low;
    }
}

// The identity with the size, the last-write time and whether it is a plain file.
FileIdentity whole_identity_of(const BY_HANDLE_FILE_INFORMATION& information) {
    FileIdentity identity = identity_of(information);
    identity.size = (std::uint64_t{information.nFileSizeHigh} << 32U) | information.nFileSizeLow;
    // 100-nanosecond steps since 1601, whose nanoseconds pass 64 bits after 2185.
    const std::uint64_t steps = (std::uint64_t{information.ftLastWriteTime.dwHighDateTime} << 32U) |
                                information.ftLastWriteTime.dwLowDateTime;
    identity.modified = steps > std::numeric_limits<std::uint64_t>::max() / 100U
                            ? time_not_kept
                            : static_cast<std::int64_t>(steps * 100U);
    identity.regular = (information.dwFileAttributes &
                        (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    return identity;
}

// Other programs may read, write or delete the file meanwhile, as they could on POSIX; a viewer
// that holds the report open does not stop the run.
constexpr DWORD share_all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD plain_open_flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

// Opens `name` as CreateFileW does; `error` is 0, or why there is no handle.
HANDLE open_handle(const std::string& name, DWORD access, DWORD disposition, DWORD flags,
                   int& error) {
    std::wstring path;
    error = system_path(name, path);
    if (error != 0) {
        return INVALID_HANDLE_VALUE;
    }
    const HANDLE handle =
        CreateFileW(path.c_str(), access, share_all, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = last_error();
    }
    return handle;
}

// The attributes of `name`, a link's own; `error` is 0, or why there are none.
DWORD attributes_of(const std::string& name, int& error) {
    std::wstring path;
    error = system_path(name, path);
    if (error != 0) {
        return INVALID_FILE_ATTRIBUTES;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = last_error();
    }
    return attributes;
}

bool is_folder(const std::string& name) {
    int error = 0;
    const DWORD attributes = attributes_of(name, error);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void prepare_standard_streams() {
    // The program reads and writes the standard handles directly, which never translate line
    // ends. The C runtime's descriptors go to binary mode as well, so that a line end written as
    // carriage return and line feed through them stays exactly that instead of gaining a second
    // carriage return.
    set_binary_mode(stdin);
    set_binary_mode(stdout);
    set_binary_mode(stderr);
}

std::vector<std::string> program_arguments(int /*argc*/, char** /*argv*/) {
    // The C runtime's argv holds the arguments in the ANSI code page, where a name of characters
    // beyond it has already become a look-alike; the wide command line holds them as typed.
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** const words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) {
        return arguments;
    }
    for (int word = 1; word < count; ++word) {
        arguments.push_back(utf8_of(words[word]));
    }
    LocalFree(static_cast<void*>(words));
    return arguments;
}

std::string from_legacy_code_page(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    const int length = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length <= 0 ||
        MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, wide.data(), length) != length) {
        return std::string(bytes);
    }
    return utf8_of(wide);
}

int read_standard_input(char* buffer, std::size_t capacity, std::size_t& count) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    return is_console(input) ? read_console(input, buffer, capacity, count)
                             : read_some(input, buffer, capacity, count);
}

int write_standard_output(std::string_view bytes) {
    return write_standard(STD_OUTPUT_HANDLE, bytes);
}

int write_standard_error(std::string_view bytes) {
    return write_standard(STD_ERROR_HANDLE, bytes);
}

bool standard_input_is_terminal() {
    return is_console(GetStdHandle(STD_INPUT_HANDLE));
}

bool standard_output_is_terminal() {
    // Only a console window is a person reading as the lines come. A pipe or a file is not, and
    // neither is the NUL device, which the C runtime's _isatty would count as a terminal.
    return is_console(GetStdHandle(STD_OUTPUT_HANDLE));
}

std::string describe_error(int error) {
    if (error == not_a_regular_file) {
        return "it is not a regular file";
    }
    // Windows' own words, in the user's language, and in UTF-8 like every other line.
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::string text;
    if (length != 0 && message != nullptr) {
        text = utf8_of(std::wstring_view(message, length));
    }
    if (message != nullptr) {
        LocalFree(message);
    }
    // The system's messages end in a full stop and a line end; the diagnostic is one line of its
    // own, so line breaks become blanks and the ending goes.
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = "Windows error " + std::to_string(error);
    }
    return text;
}

bool is_symbolic_link_refusal(int error) {
    return error == reparse_point_refused;
}

bool is_hard_link_refusal(int error) {
    return error == hard_link_refused;
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      writable_(std::exchange(other.writable_, false)),
      position_(std::exchange(other.position_, 0)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, -1);
        writable_ = std::exchange(other.writable_, false);
        position_ = std::exchange(other.position_, 0);
    }
    return *this;
}

File::~File() {
    close();
}

int File::open_or_create(const std::string& name) {
    close();
    bool writable = true;
    int error = 0;
    HANDLE handle =
        open_handle(name, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, plain_open_flags, error);
    if (error == ERROR_ACCESS_DENIED) {
        // A read-only file, or one on a medium that may not be written, can still be read.
        writable = false;
        handle = open_handle(name, GENERIC_READ, OPEN_EXISTING, plain_open_flags, error);
    }
    if (error != 0) {
        return error;
    }
    if (const int refused = refuse_unless_plain_file(handle); refused != 0) {
        CloseHandle(handle);
        return refused;
    }
    handle_ = as_value(handle);
    writable_ = writable;
    return 0;
}

int File::create_or_empty(const std::string& name) {
    close();
    // OPEN_ALWAYS and then SetEndOfFile rather than CREATE_ALWAYS: the file is checked before
    // anything of it is cut, and an existing file keeps its attributes as under a redirection.
    int error = 0;
    const HANDLE handle = open_handle(name, GENERIC_WRITE, OPEN_ALWAYS, plain_open_flags, error);
    if (error != 0) {
        return error;
    }
    int result = refuse_unless_plain_file(handle);
    if (result == 0 && SetEndOfFile(handle) == 0) {
        result = last_error();
    }
    if (result != 0) {
        CloseHandle(handle);
        return result;
    }
    handle_ = as_value(handle);
    writable_ = true;
    return 0;
}

bool File::is_open() const {
    return handle_ != -1;
}

bool File::is_writable() const {
    return is_open() && writable_;
}

int File::read(char* buffer, std::size_t capacity, std::size_t& count) {
    return read_some(as_handle(handle_), buffer, capacity, count);
}

int File::write(std::string_view bytes) {
    if (!is_open()) {
        return ERROR_INVALID_HANDLE;
    }
    const HANDLE handle = as_handle(handle_);
    LARGE_INTEGER start{};
    if (SetFilePointerEx(handle, LARGE_INTEGER{}, &start, FILE_CURRENT) == 0) {
        return last_error();
    }
    const int error = write_all(handle, bytes);
    if (error != 0) {
        // The part that went in is taken back; should that fail too, the write's own error is
        // still the one to tell.
        if (SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) != 0) {
            SetEndOfFile(handle);
        }
    }
    return error;
}

int File::sync() {
    if (!is_open()) {
        return ERROR_INVALID_HANDLE;
    }
    return FlushFileBuffers(as_handle(handle_)) != 0 ? 0 : last_error();
}

int File::truncate_at_position() {
    if (!is_open()) {
        return ERROR_INVALID_HANDLE;
    }
    return SetEndOfFile(as_handle(handle_)) != 0 ? 0 : last_error();
}

int File::create_new(const std::string& name) {
    close();
    // CREATE_NEW fails on any name that is taken, a link or a junction included, so nothing is
    // replaced and nothing is written through a link.
    int error = 0;
    const HANDLE handle = open_handle(name, GENERIC_WRITE, CREATE_NEW, plain_open_flags, error);
    if (error != 0) {
        return error;
    }
    handle_ = as_value(handle);
    writable_ = true;
    return 0;
}

int File::open_to_read(const std::string& name) {
    close();
    int error = 0;
    const HANDLE handle =
        open_handle(name, GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, error);
    if (error != 0) {
        return error == ERROR_ACCESS_DENIED && is_folder(name) ? not_a_regular_file : error;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return not_a_regular_file;
    }
    handle_ = as_value(handle);
    writable_ = false;
    return 0;
}

int File::truncate_to(std::uint64_t size) {
    if (!is_writable()) {
        return ERROR_INVALID_HANDLE;
    }
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    if (SetFilePointerEx(as_handle(handle_), position, nullptr, FILE_BEGIN) == 0 ||
        SetEndOfFile(as_handle(handle_)) == 0) {
        return last_error();
    }
    return 0;
}

int File::close() {
    if (!is_open()) {
        return 0;
    }
    const HANDLE handle = as_handle(std::exchange(handle_, -1));
    writable_ = false;
    return CloseHandle(handle) != 0 ? 0 : last_error();
}

// ---- Folders and names ----

namespace {

bool is_one_component(const std::string& name) {
    return !name.empty() && name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

}  // namespace

Folder::Folder(Folder&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (handle_ != -1) {
            CloseHandle(as_handle(handle_));
        }
        handle_ = std::exchange(other.handle_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

Folder::~Folder() {
    if (handle_ != -1) {
        CloseHandle(as_handle(handle_));
    }
}

int Folder::open(const std::string& path, bool follow_last_link) {
    std::wstring full;
    if (const int error = system_path(path, full); error != 0) {
        return error;
    }
    // Held open without FILE_SHARE_DELETE, so that the folder cannot be renamed or replaced while
    // the names below it are reached through its path.
    const HANDLE handle = CreateFileW(
        full.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (follow_last_link ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
        nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return last_error();
    }
    BY_HANDLE_FILE_INFORMATION information{};
    int error = GetFileInformationByHandle(handle, &information) != 0 ? 0 : last_error();
    if (error == 0 && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = ERROR_DIRECTORY;
    } else if (error == 0 && !follow_last_link &&
               (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        error = reparse_point_refused;
    }
    if (error != 0) {
        CloseHandle(handle);
        return error;
    }
    *this = Folder();
    handle_ = as_value(handle);
    path_ = utf8_of(full);
    return 0;
}

bool Folder::is_open() const {
    return handle_ != -1;
}

int Folder::identify_self(FileIdentity& identity) const {
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(as_handle(handle_), &information) == 0) {
        return last_error();
    }
    identity = identity_of(information);
    add_full_number(as_handle(handle_), identity);
    return 0;
}

bool Folder::keeps_file_numbers() const {
    // NTFS and ReFS keep a file's number for its life; FAT and exFAT make one up from where the
    // entry stands, which a rename changes.
    wchar_t name[MAX_PATH + 1] = {};
    return GetVolumeInformationByHandleW(as_handle(handle_), nullptr, 0, nullptr, nullptr, nullptr,
                                         name, MAX_PATH) != 0 &&
           (std::wstring_view(name) == L"NTFS" || std::wstring_view(name) == L"ReFS");
}

bool Folder::renames_atomically() const {
    return true;  // MoveFileExW never replaces without being asked to, on every filesystem
}

bool Folder::names_may_change() const {
    DWORD flags = 0;
    return GetVolumeInformationByHandleW(as_handle(handle_), nullptr, 0, nullptr, nullptr, &flags,
                                         nullptr, 0) == 0 ||
           (flags & FILE_READ_ONLY_VOLUME) == 0;
}

int Folder::list(const std::function<void(const FolderEntry&)>& visit) const {
    // Read through the folder's own handle, which gives each entry's file number with its name,
    // so that a clip costs no call of its own to be told from the others.
    std::vector<char> buffer(std::size_t{64} * 1024);
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(as_handle(handle_), kind, buffer.data(),
                                        static_cast<DWORD>(buffer.size())) != 0) {
        kind = FileIdBothDirectoryInfo;
        for (std::size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + at);
            const std::string name = utf8_of(
                std::wstring_view(entry->FileName, entry->FileNameLength / sizeof(wchar_t)));
            // "." and ".." are the folder itself and its parent, not its entries.
            const bool self_or_parent = name == "." || name == "..";
            // The system's own listing leaves out hidden and system entries (desktop.ini,
            // Thumbs.db), which are no videos of the user's and would stop the run at the type
            // check.
            const bool hidden =
                (entry->FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
            // A name holding a line break cannot be one line of a listing.
            const bool breaks_line = name.find_first_of("\r\n") != std::string::npos;
            if (!self_or_parent && !hidden && !breaks_line && !name.empty()) {
                visit({name, static_cast<std::uint64_t>(entry->FileId.QuadPart)});
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            at += entry->NextEntryOffset;
        }
    }
    const int error = last_error();
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

int Folder::identify(const std::string& name, FileIdentity& identity) const {
    identity = {};
    if (!is_one_component(name)) {
        return ERROR_INVALID_NAME;
    }
    // No access beyond the attributes is asked for, so a file that another program holds open
    // is still identified; FILE_FLAG_BACKUP_SEMANTICS lets a folder be opened too.
    int error = 0;
    const HANDLE handle =
        open_handle(path_ + "\\" + name, FILE_READ_ATTRIBUTES, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, error);
    if (error != 0) {
        return error;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(handle, &information) == 0) {
        error = last_error();
    } else {
        identity = whole_identity_of(information);
        add_full_number(handle, identity);
    }
    CloseHandle(handle);
    return error;
}

int Folder::exists(const std::string& name, bool& found) const {
    FileIdentity identity;
    const int error = identify(name, identity);
    found = error == 0;
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
}

int Folder::may_write(const std::string& name) const {
    if (!is_one_component(name)) {
        return ERROR_INVALID_NAME;
    }
    std::wstring path;
    if (const int error = system_path(path_ + "\\" + name, path); error != 0) {
        return error;
    }
    // The errors an opening to write meets for a read-only file and a read-only medium.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return last_error();
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    return names_may_change() ? 0 : ERROR_WRITE_PROTECT;
}

namespace {

// The system's paths of the two names `one` and `other` inside `folder`.
int paths_inside(const std::string& folder, const std::string& one, const std::string& other,
                 std::wstring& one_path, std::wstring& other_path) {
    if (!is_one_component(one) || !is_one_component(other)) {
        return ERROR_INVALID_NAME;
    }
    if (const int error = system_path(folder + "\\" + one, one_path); error != 0) {
        return error;
    }
    return system_path(folder + "\\" + other, other_path);
}

// Moves `from` to `to` inside `folder`, with MoveFileExW's `flags`.
int move_inside(const std::string& folder, const std::string& from, const std::string& to,
                DWORD flags) {
    std::wstring from_path;
    std::wstring to_path;
    if (const int error = paths_inside(folder, from, to, from_path, to_path); error != 0) {
        return error;
    }
    return MoveFileExW(from_path.c_str(), to_path.c_str(), flags) != 0 ? 0 : last_error();
}

}  // namespace

int Folder::rename_atomically(const std::string& from, const std::string& to) const {
    // Without MOVEFILE_REPLACE_EXISTING the system refuses a taken name (ERROR_ALREADY_EXISTS)
    // in the same step as the rename, so no other file can slip in between a check and the move,
    // and the burst numbering rests on that refusal. Without MOVEFILE_COPY_ALLOWED a move to
    // another volume fails instead of copying and deleting: a copy cut short would leave the
    // user's only video in two halves. This is why std::filesystem::rename is not used: it
    // replaces an existing file.
    return move_inside(path_, from, to, 0);
}

int Folder::rename_by_link(const std::string& from, const std::string& to) const {
    if (const int error = add_name(from, to); error != 0) {
        return error;
    }
    if (const int error = remove_name(from); error != 0) {
        remove_name(to);
        return error;
    }
    return 0;
}

int Folder::claim(const std::string& name) const {
    if (!is_one_component(name)) {
        return ERROR_INVALID_NAME;
    }
    int error = 0;
    const HANDLE handle =
        open_handle(path_ + "\\" + name, GENERIC_WRITE, CREATE_NEW, plain_open_flags, error);
    if (error == 0) {
        CloseHandle(handle);
    }
    return error;
}

int Folder::rename_onto_claim(const std::string& from, const std::string& to) const {
    return move_inside(path_, from, to, MOVEFILE_REPLACE_EXISTING);
}

int Folder::add_name(const std::string& existing, const std::string& name) const {
    std::wstring existing_path;
    std::wstring new_path;
    if (const int error = paths_inside(path_, existing, name, existing_path, new_path);
        error != 0) {
        return error;
    }
    return CreateHardLinkW(new_path.c_str(), existing_path.c_str(), nullptr) != 0 ? 0
                                                                                  : last_error();
}

int Folder::remove_name(const std::string& name) const {
    if (!is_one_component(name)) {
        return ERROR_INVALID_NAME;
    }
    return remove_file(path_ + "\\" + name);
}

int Folder::sync() const {
    // NTFS writes its folders' changes through its own log; a folder handle cannot be flushed
    // without write access to the folder itself, which the program does not ask for.
    return 0;
}

bool is_unsupported_rename(int error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

bool lacks_hard_links(int error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

int remove_file(const std::string& name) {
    std::wstring path;
    if (const int error = system_path(name, path); error != 0) {
        return error;
    }
    return DeleteFileW(path.c_str()) != 0 ? 0 : last_error();
}

bool is_taken_name_refusal(int error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

bool is_missing_path(int error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME;
}

bool is_permission_refusal(int error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
}

LocalTime local_time() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// The access time is not needed here: SetFileTime leaves a time it is not given as it is.
ClipFile::ClipFile(ClipFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), accessed_(other.accessed_) {}

ClipFile& ClipFile::operator=(ClipFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, -1);
        accessed_ = other.accessed_;
    }
    return *this;
}

ClipFile::~ClipFile() {
    close();
}

int ClipFile::open(const Folder& folder, const std::string& name, bool write,
                   FileIdentity& identity) {
    // FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS, which older headers lack: a cloud placeholder.
    constexpr DWORD recall_on_data_access = 0x00400000;
    close();
    if (!is_one_component(name)) {
        return ERROR_INVALID_NAME;
    }
    std::wstring path;
    if (const int error = system_path(folder.path_ + "\\" + name, path); error != 0) {
        return error;
    }
    // Written through one handle that shares the clip with readers only: no other program writes
    // it between the check of its bytes and the patch. A placeholder is never recalled.
    const HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_READ | (write ? GENERIC_WRITE | FILE_WRITE_ATTRIBUTES : 0),
        write ? FILE_SHARE_READ | FILE_SHARE_DELETE : share_all, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_OPEN_NO_RECALL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return last_error();
    }
    BY_HANDLE_FILE_INFORMATION information{};
    int error = GetFileInformationByHandle(handle, &information) != 0 ? 0 : last_error();
    if (error == 0 && (information.dwFileAttributes &
                       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        error = not_a_regular_file;
    } else if (error == 0 && (information.dwFileAttributes &
                              (recall_on_data_access | FILE_ATTRIBUTE_OFFLINE)) != 0) {
        error = placeholder_refused;
    }
    if (error != 0) {
        CloseHandle(handle);
        return error;
    }
    handle_ = as_value(handle);
    identity = whole_identity_of(information);
    add_full_number(handle, identity);
    return 0;
}

int ClipFile::read_at(std::uint64_t offset, char* into, std::size_t size, std::size_t& got) const {
    got = 0;
    while (got < size) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + got);
        at.OffsetHigh = static_cast<DWORD>((offset + got) >> 32U);
        DWORD count = 0;
        const auto asked = static_cast<DWORD>(std::min<std::size_t>(size - got, 1U << 30U));
        if (ReadFile(as_handle(handle_), into + got, asked, &count, &at) == 0) {
            const int error = last_error();
            return error == ERROR_HANDLE_EOF ? 0 : error;
        }
        if (count == 0) {
            break;
        }
        got += count;
    }
    return 0;
}

int ClipFile::write_at(std::uint64_t offset, std::string_view bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32U);
        DWORD count = 0;
        const auto asked =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 30U));
        if (WriteFile(as_handle(handle_), bytes.data() + done, asked, &count, &at) == 0) {
            return last_error();
        }
        if (count == 0) {
            return ERROR_DISK_FULL;
        }
        done += count;
    }
    return 0;
}

int ClipFile::set_modified(std::int64_t nanoseconds) const {
    // Nanoseconds since 1601 pass the signed range: they are kept modulo 2^64.
    const std::uint64_t steps = static_cast<std::uint64_t>(nanoseconds) / 100U;
    FILETIME written{};
    written.dwLowDateTime = static_cast<DWORD>(steps);
    written.dwHighDateTime = static_cast<DWORD>(steps >> 32U);
    // Only the last-write time: the creation time may be what identifies the clip elsewhere.
    return SetFileTime(as_handle(handle_), nullptr, nullptr, &written) != 0 ? 0 : last_error();
}

void ClipFile::close() {
    if (handle_ != -1) {
        CloseHandle(as_handle(std::exchange(handle_, -1)));
    }
}

std::int64_t local_offset_at(std::int64_t unix_seconds) {
    const auto steps =
        static_cast<std::uint64_t>((unix_seconds + file_time_epoch_before_1970) * 10000000);
    FILETIME universal{};
    universal.dwLowDateTime = static_cast<DWORD>(steps);
    universal.dwHighDateTime = static_cast<DWORD>(steps >> 32U);
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    FILETIME local_file{};
    if (FileTimeToSystemTime(&universal, &utc) == 0) {
        return 0;
    }
    // The time zone's rules of that year, not of today's, where the system has them.
    TIME_ZONE_INFORMATION zone{};
    const bool of_that_year = GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone) != 0;
    if (SystemTimeToTzSpecificLocalTime(of_that_year ? &zone : nullptr, &utc, &local) == 0 ||
        SystemTimeToFileTime(&local, &local_file) == 0) {
        return 0;
    }
    const std::uint64_t local_steps =
        (std::uint64_t{local_file.dwHighDateTime} << 32U) | local_file.dwLowDateTime;
    return (static_cast<std::int64_t>(local_steps) - static_cast<std::int64_t>(steps)) / 10000000;
}

std::string path_beside(std::string_view file, std::string_view path) {
    // "\\server\share", "\folder" and "C:..." are not relative to the journal's folder.
    const bool absolute =
        path.starts_with('/') || path.starts_with('\\') || (path.size() >= 2 && path[1] == ':');
    const std::size_t separator = file.find_last_of("/\\");
    if (absolute || separator == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(file.substr(0, separator + 1)).append(path);
}

int enter_parent_folder(const std::string& folder, std::string& name) {
    std::wstring full;
    if (const int error = system_path(folder, full); error != 0) {
        return error;
    }
    // The plain form of the path: the current directory is shown to every program started from
    // here, and the \\?\ form is needed only beyond 260 characters.
    std::wstring plain = full.starts_with(L"\\\\?\\UNC\\") ? L"\\\\" + full.substr(8)
                         : full.starts_with(L"\\\\?\\")    ? full.substr(4)
                                                           : full;
    // "D:\Clips\", as some programs hand a folder over, names "D:\Clips".
    while (plain.size() > 1 && plain.ends_with(L'\\')) {
        plain.pop_back();
    }
    const std::size_t separator = plain.rfind(L'\\');
    // "D:" and "\\server\share" have no folder above them.
    const bool shared = plain.starts_with(L"\\\\");
    if (separator == std::wstring::npos ||
        (shared && std::count(plain.begin() + 2, plain.end(), L'\\') < 2)) {
        name.clear();
        return 0;
    }
    name = utf8_of(std::wstring_view(plain).substr(separator + 1));
    std::wstring parent = plain.substr(0, separator + 1);
    if (parent.size() >= MAX_PATH - 2) {
        parent = shared ? L"\\\\?\\UNC\\" + parent.substr(2) : L"\\\\?\\" + parent;
    }
    return SetCurrentDirectoryW(parent.c_str()) != 0 ? 0 : last_error();
}

int real_path(const std::string& name, std::string& resolved) {
    int error = 0;
    const HANDLE handle =
        open_handle(name, FILE_READ_ATTRIBUTES, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, error);
    if (error != 0) {
        return error;
    }
    // The path of the file the handle reached, past every link on the way.
    std::wstring path(32768, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    error = length == 0 || length >= path.size() ? last_error() : 0;
    CloseHandle(handle);
    if (error == 0) {
        path.resize(length);
        resolved = utf8_of(path);
    }
    return error;
}

int console_process_count() {
    // The count comes back even when the list does not fit.
    std::array<DWORD, 2> processes{};
    return static_cast<int>(
        GetConsoleProcessList(processes.data(), static_cast<DWORD>(processes.size())));
}

namespace {

// Whether the program that started this one is PowerShell (Windows PowerShell or PowerShell 7),
// told by the parent process's executable name. A parent gone meanwhile, whose number another
// process may have taken, is told as cmd's, the form the README teaches.
bool started_from_powershell() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    const auto find = [snapshot](DWORD process, PROCESSENTRY32W& found) {
        found = {};
        found.dwSize = sizeof found;
        for (BOOL more = Process32FirstW(snapshot, &found); more != FALSE;
             more = Process32NextW(snapshot, &found)) {
            if (found.th32ProcessID == process) {
                return true;
            }
        }
        return false;
    };
    PROCESSENTRY32W self{};
    PROCESSENTRY32W parent{};
    const bool known = find(GetCurrentProcessId(), self) && find(self.th32ParentProcessID, parent);
    CloseHandle(snapshot);
    return known && (_wcsicmp(parent.szExeFile, L"powershell.exe") == 0 ||
                     _wcsicmp(parent.szExeFile, L"pwsh.exe") == 0);
}

}  // namespace

std::string command_argument(std::string_view argument) {
    // Characters that split a word or mean something to cmd or PowerShell. No Windows name holds
    // a double quote, so cmd's quotes need no escape.
    constexpr std::string_view special = " \t&()[]{}^=;!'+,`~$@#%";
    if (!argument.empty() && argument.find_first_of(special) == std::string_view::npos) {
        return std::string(argument);
    }
    if (!started_from_powershell()) {
        return "\"" + std::string(argument) + "\"";
    }
    std::string quoted = "'";
    for (const char byte : argument) {
        quoted.append(byte == '\'' ? "''" : std::string(1, byte));
    }
    return quoted.append("'");
}

std::string command_name(std::string_view /*started_as*/) {
    // cmd and PowerShell both run ".\NAME" from the folder that holds it; PowerShell does not
    // run a bare name from the current folder.
    std::wstring module(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    module.resize(length < module.size() ? length : 0);
    std::wstring current(32768, L'\0');
    const DWORD current_length =
        GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
    current.resize(current_length < current.size() ? current_length : 0);
    const std::size_t separator = module.find_last_of(L"\\/");
    if (module.empty() || separator == std::wstring::npos) {
        return std::string(rur::program_name);
    }
    std::wstring stem = module.substr(separator + 1);
    if (stem.size() > 4 && _wcsicmp(stem.c_str() + stem.size() - 4, L".exe") == 0) {
        stem.resize(stem.size() - 4);
    }
    while (current.size() > 3 && current.ends_with(L'\\')) {
        current.pop_back();
    }
    if (_wcsicmp(module.substr(0, separator).c_str(), current.c_str()) == 0) {
        return ".\\" + utf8_of(stem);
    }
    // A path with a blank is quoted, in cmd's form, which the README sends Windows users to;
    // PowerShell runs a quoted path only behind its call operator.
    if (module.find(L' ') == std::wstring::npos) {
        return utf8_of(module);
    }
    return (started_from_powershell() ? "& \"" : "\"") + utf8_of(module) + "\"";
}

}  // namespace platform
