// The platform layer on POSIX systems (Linux first of all).
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/statfs.h>
#include <sys/syscall.h>
#endif
#include <dirent.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.hpp"
#include "version.hpp"

namespace platform {

namespace {

constexpr int standard_input = 0;
constexpr int standard_output = 1;
constexpr int standard_error = 2;

bool names_a_file(const std::string& name) {
    return name.find('\0') == std::string::npos;
}

int last_error() {
    return errno != 0 ? errno : EIO;
}

int write_all(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return last_error();
        }
        if (written == 0) {
            // Nothing went in and the system named no reason: there is no room for more.
            return ENOSPC;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int read_some(int descriptor, char* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    while (true) {
        const ssize_t got = ::read(descriptor, buffer, capacity);
        if (got >= 0) {
            count = static_cast<std::size_t>(got);
            return 0;
        }
        if (errno != EINTR) {
            return last_error();
        }
    }
}

// Opens `name` without following a symbolic link and without waiting on a pipe, and keeps the
// descriptor only when it is a regular file with no other name. O_NONBLOCK stays set: reads and
// writes of a regular file never wait on it.
int open_regular(const std::string& name, int access, int& descriptor) {
    descriptor = -1;
    if (!names_a_file(name)) {
        return EINVAL;
    }
    const int opened =
        ::open(name.c_str(), access | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (opened < 0) {
        return last_error();
    }
    struct stat status {};
    if (::fstat(opened, &status) != 0) {
        const int error = last_error();
        ::close(opened);
        return error;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(opened);
        return S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    }
    if (status.st_nlink > 1) {
        ::close(opened);
        return EMLINK;
    }
    descriptor = opened;
    return 0;
}

// A time in nanoseconds since 1970, or time_not_kept where they would pass 64 bits.
std::int64_t nanoseconds(std::int64_t seconds, std::int64_t fraction) {
    constexpr std::int64_t second = 1000000000;
    constexpr std::int64_t furthest = std::numeric_limits<std::int64_t>::max() / second - 1;
    return seconds > furthest || seconds < -furthest ? time_not_kept : seconds * second + fraction;
}

#if !(defined(__linux__) && defined(STATX_BTIME))
std::int64_t nanoseconds(const struct timespec& time) {
    return nanoseconds(time.tv_sec, time.tv_nsec);
}

void fill_identity(const struct stat& status, FileIdentity& identity) {
    identity.volume = static_cast<std::uint64_t>(status.st_dev);
    identity.index = static_cast<std::uint64_t>(status.st_ino);
    identity.links = static_cast<std::uint64_t>(status.st_nlink);
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.modified = nanoseconds(status.st_mtim);
    identity.accessed = nanoseconds(status.st_atim);
    identity.regular = S_ISREG(status.st_mode);
    identity.directory = S_ISDIR(status.st_mode);
}
#endif

// The identity of `name` in the folder `folder` (the folder itself when `name` is empty), in one
// call: statx gives the birth time with the rest where the filesystem keeps one.
int identify_at(int folder, const std::string& name, FileIdentity& identity) {
#if defined(__linux__) && defined(STATX_BTIME)
    struct statx status {};
    const int flags = AT_SYMLINK_NOFOLLOW | (name.empty() ? AT_EMPTY_PATH : 0);
    if (::statx(folder, name.c_str(), flags, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) {
        return last_error();
    }
    const auto time = [](const struct statx_timestamp& stamp) {
        return nanoseconds(stamp.tv_sec, stamp.tv_nsec);
    };
    identity.volume = (std::uint64_t{status.stx_dev_major} << 32U) | status.stx_dev_minor;
    identity.index = status.stx_ino;
    identity.links = status.stx_nlink;
    identity.size = status.stx_size;
    identity.modified = time(status.stx_mtime);
    identity.accessed = time(status.stx_atime);
    identity.born_known = (status.stx_mask & STATX_BTIME) != 0;
    identity.born = identity.born_known ? time(status.stx_btime) : 0;
    identity.regular = S_ISREG(status.stx_mode);
    identity.directory = S_ISDIR(status.stx_mode);
#else
    struct stat status {};
    if ((name.empty() ? ::fstat(folder, &status)
                      : ::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW)) != 0) {
        return last_error();
    }
    fill_identity(status, identity);
#endif
    return 0;
}

bool is_one_component(const std::string& name) {
    return names_a_file(name) && !name.empty() && name.find('/') == std::string::npos;
}

}  // namespace

void prepare_standard_streams() {
    // A closed pipe on the output is then an error to report, not a silent death. Should the
    // signal not be ignored, nothing better can be done than to run as before.
    static_cast<void>(::signal(SIGPIPE, SIG_IGN));
    // A standard descriptor the program was started without would go to the next file it opens,
    // and a diagnostic meant for standard error could then land in that file. Each missing one is
    // held by the null device, opened for the other direction so that its use fails as before.
    // Descriptors are given lowest first: each opening takes the one missing.
    for (const int standard : {standard_input, standard_output, standard_error}) {
        if (::fcntl(standard, F_GETFD) == -1 && errno == EBADF) {
            static_cast<void>(
                ::open("/dev/null", standard == standard_input ? O_WRONLY : O_RDONLY));
        }
    }
}

int read_standard_input(char* buffer, std::size_t capacity, std::size_t& count) {
    return read_some(standard_input, buffer, capacity, count);
}

int write_standard_output(std::string_view bytes) {
    return write_all(standard_output, bytes);
}

int write_standard_error(std::string_view bytes) {
    return write_all(standard_error, bytes);
}

bool standard_output_is_terminal() {
    return ::isatty(standard_output) == 1;
}

bool standard_input_is_terminal() {
    return ::isatty(standard_input) == 1;
}

std::string describe_error(int error) {
    if (error == not_a_regular_file) {
        return "it is not a regular file";
    }
    return std::strerror(error);
}

bool is_symbolic_link_refusal(int error) {
    return error == ELOOP;
}

bool is_hard_link_refusal(int error) {
    return error == EMLINK;
}

// ---- File ----

File::File(File&& other) noexcept
    : handle_(other.handle_), writable_(other.writable_), position_(other.position_) {
    other.handle_ = -1;
    other.writable_ = false;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        writable_ = other.writable_;
        position_ = other.position_;
        other.handle_ = -1;
        other.writable_ = false;
    }
    return *this;
}

File::~File() {
    close();
}

int File::open_or_create(const std::string& name) {
    close();
    int descriptor = -1;
    int error = open_regular(name, O_RDWR, descriptor);
    bool writable = true;
    if (error == EACCES || error == EROFS || error == EPERM) {
        // An existing file that may only be read is still read.
        const int first_error = error;
        if (::access(name.c_str(), F_OK) == 0) {
            error = open_regular(name, O_RDONLY, descriptor);
            writable = false;
        }
        if (error != 0) {
            error = first_error;
        }
    }
    if (error != 0) {
        return error;
    }
    handle_ = descriptor;
    writable_ = writable;
    return 0;
}

int File::create_or_empty(const std::string& name) {
    close();
    int descriptor = -1;
    if (const int error = open_regular(name, O_WRONLY, descriptor); error != 0) {
        return error;
    }
    if (::ftruncate(descriptor, 0) != 0) {
        const int error = last_error();
        ::close(descriptor);
        return error;
    }
    handle_ = descriptor;
    writable_ = true;
    return 0;
}

bool File::is_open() const {
    return handle_ >= 0;
}

bool File::is_writable() const {
    return handle_ >= 0 && writable_;
}

int File::read(char* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    if (handle_ < 0) {
        return EBADF;
    }
    const int error = read_some(static_cast<int>(handle_), buffer, capacity, count);
    position_ += count;
    return error;
}

int File::write(std::string_view bytes) {
    if (handle_ < 0 || !writable_) {
        return EBADF;
    }
    const int descriptor = static_cast<int>(handle_);
    const int error = write_all(descriptor, bytes);
    if (error != 0) {
        // The part that went in is taken back; should that fail too, the write's own error is
        // still the one to tell.
        static_cast<void>(::ftruncate(descriptor, static_cast<off_t>(position_)));
        static_cast<void>(::lseek(descriptor, static_cast<off_t>(position_), SEEK_SET));
        return error;
    }
    position_ += bytes.size();
    return 0;
}

int File::truncate_at_position() {
    if (handle_ < 0 || !writable_) {
        return EBADF;
    }
    return ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(position_)) == 0
               ? 0
               : last_error();
}

int File::sync() {
    if (handle_ < 0) {
        return EBADF;
    }
#if defined(__APPLE__)
    return ::fsync(static_cast<int>(handle_)) == 0 ? 0 : last_error();
#else
    return ::fdatasync(static_cast<int>(handle_)) == 0 ? 0 : last_error();
#endif
}

int File::create_new(const std::string& name) {
    close();
    if (!names_a_file(name)) {
        return EINVAL;
    }
    // O_EXCL fails on any name that is taken, a dangling link included.
    const int opened =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (opened < 0) {
        return last_error();
    }
    handle_ = opened;
    writable_ = true;
    return 0;
}

int File::open_to_read(const std::string& name) {
    close();
    if (!names_a_file(name)) {
        return EINVAL;
    }
    // A pipe is not waited on; a regular file reads the same with O_NONBLOCK set.
    const int opened = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        return last_error();
    }
    struct stat status {};
    int error = ::fstat(opened, &status) != 0 ? last_error() : 0;
    if (error == 0 && !S_ISREG(status.st_mode)) {
        error = not_a_regular_file;
    }
    if (error != 0) {
        ::close(opened);
        return error;
    }
    handle_ = opened;
    writable_ = false;
    return 0;
}

int File::truncate_to(std::uint64_t size) {
    if (handle_ < 0 || !writable_) {
        return EBADF;
    }
    const auto offset = static_cast<off_t>(size);
    if (::ftruncate(static_cast<int>(handle_), offset) != 0 ||
        ::lseek(static_cast<int>(handle_), offset, SEEK_SET) < 0) {
        return last_error();
    }
    position_ = size;
    return 0;
}

int File::close() {
    if (handle_ < 0) {
        return 0;
    }
    const int descriptor = static_cast<int>(handle_);
    handle_ = -1;
    writable_ = false;
    position_ = 0;
    // After an interruption the descriptor is gone all the same; nothing is left to retry.
    if (::close(descriptor) != 0 && errno != EINTR) {
        return last_error();
    }
    return 0;
}

std::vector<std::string> program_arguments(int argc, char** argv) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

std::string from_legacy_code_page(std::string_view bytes) {
    return std::string(bytes);
}

// ---- Folders and names ----

Folder::Folder(Folder&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
    other.handle_ = -1;
}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) {
            ::close(static_cast<int>(handle_));
        }
        handle_ = other.handle_;
        path_ = std::move(other.path_);
        other.handle_ = -1;
    }
    return *this;
}

Folder::~Folder() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
    }
}

int Folder::open(const std::string& path, bool follow_last_link) {
    if (!names_a_file(path)) {
        return EINVAL;
    }
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow_last_link ? 0 : O_NOFOLLOW);
    const int opened = ::open(path.empty() ? "." : path.c_str(), flags);
    if (opened < 0) {
        // A symbolic link under O_NOFOLLOW|O_DIRECTORY fails as "not a directory".
        const int error = last_error();
        struct stat status {};
        if (!follow_last_link && error == ENOTDIR && ::lstat(path.c_str(), &status) == 0 &&
            S_ISLNK(status.st_mode)) {
            return ELOOP;
        }
        return error;
    }
    *this = Folder();
    handle_ = opened;
    path_ = path;
    return 0;
}

bool Folder::is_open() const {
    return handle_ >= 0;
}

int Folder::identify_self(FileIdentity& identity) const {
    identity = {};
    return identify_at(static_cast<int>(handle_), "", identity);
}

bool Folder::keeps_file_numbers() const {
#if defined(__linux__)
    struct statfs system {};
    if (::fstatfs(static_cast<int>(handle_), &system) != 0) {
        return false;
    }
    // ext2/3/4, XFS, Btrfs, tmpfs: numbers stored on the medium, or a medium that does not
    // outlive the machine. FAT, exFAT and FUSE make numbers up at every mount.
    constexpr std::array<unsigned long, 4> lasting{0xEF53UL, 0x58465342UL, 0x9123683EUL,
                                                   0x01021994UL};
    return std::find(lasting.begin(), lasting.end(), static_cast<unsigned long>(system.f_type)) !=
           lasting.end();
#else
    return false;
#endif
}

bool Folder::renames_atomically() const {
#if defined(__linux__) && defined(SYS_renameat2)
    // FUSE, NFS, SMB (two magics) and 9p hand the step to a server, which may not have it.
    constexpr std::array<unsigned long, 5> served{0x65735546UL, 0x6969UL, 0xFE534D42UL,
                                                  0xFF534D42UL, 0x01021997UL};
    struct statfs system {};
    return ::fstatfs(static_cast<int>(handle_), &system) == 0 &&
           std::find(served.begin(), served.end(), static_cast<unsigned long>(system.f_type)) ==
               served.end();
#else
    return false;
#endif
}

bool Folder::names_may_change() const {
    return ::faccessat(static_cast<int>(handle_), ".", W_OK | X_OK, AT_EACCESS) == 0;
}

int Folder::list(const std::function<void(const FolderEntry&)>& visit) const {
    // A descriptor of its own, since reading a directory moves the descriptor it reads.
    const int duplicate =
        ::openat(static_cast<int>(handle_), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (duplicate < 0) {
        return last_error();
    }
    DIR* directory = ::fdopendir(duplicate);
    if (directory == nullptr) {
        const int error = last_error();
        ::close(duplicate);
        return error;
    }
    FolderEntry listed;
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(directory);
        if (entry == nullptr) {
            break;
        }
        const std::string_view name(entry->d_name);
        if (name.starts_with('.') || name.find('\n') != std::string_view::npos ||
            name.find('\r') != std::string_view::npos) {
            continue;
        }
        listed.name = name;
        listed.index = static_cast<std::uint64_t>(entry->d_ino);
        visit(listed);
    }
    const int error = errno;
    ::closedir(directory);
    return error;
}

int Folder::identify(const std::string& name, FileIdentity& identity) const {
    identity = {};
    if (!is_one_component(name)) {
        return EINVAL;
    }
    return identify_at(static_cast<int>(handle_), name, identity);
}

int Folder::exists(const std::string& name, bool& found) const {
    FileIdentity identity;
    const int error = identify(name, identity);
    found = error == 0;
    return error == ENOENT || error == ENOTDIR ? 0 : error;
}

int Folder::may_write(const std::string& name) const {
    if (!is_one_component(name)) {
        return EINVAL;
    }
    // With the effective user's rights, as an opening checks them.
    return ::faccessat(static_cast<int>(handle_), name.c_str(), W_OK, AT_EACCESS) == 0
               ? 0
               : last_error();
}

int Folder::rename_atomically(const std::string& from, const std::string& to) const {
    if (!is_one_component(from) || !is_one_component(to)) {
        return EINVAL;
    }
#if defined(__linux__) && defined(SYS_renameat2)
    constexpr unsigned int rename_noreplace = 1U;  // RENAME_NOREPLACE of <linux/fs.h>
    const int folder = static_cast<int>(handle_);
    return ::syscall(SYS_renameat2, folder, from.c_str(), folder, to.c_str(), rename_noreplace) == 0
               ? 0
               : last_error();
#else
    return ENOSYS;
#endif
}

int Folder::rename_by_link(const std::string& from, const std::string& to) const {
    if (!is_one_component(from) || !is_one_component(to)) {
        return EINVAL;
    }
    const int folder = static_cast<int>(handle_);
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) {
        return last_error();
    }
    if (::unlinkat(folder, from.c_str(), 0) != 0) {
        // The file would bear both names; take back the new one so that nothing has changed.
        const int error = last_error();
        ::unlinkat(folder, to.c_str(), 0);
        return error;
    }
    return 0;
}

int Folder::claim(const std::string& name) const {
    if (!is_one_component(name)) {
        return EINVAL;
    }
    const int placeholder = ::openat(static_cast<int>(handle_), name.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (placeholder < 0) {
        return last_error();
    }
    ::close(placeholder);
    return 0;
}

int Folder::rename_onto_claim(const std::string& from, const std::string& to) const {
    if (!is_one_component(from) || !is_one_component(to)) {
        return EINVAL;
    }
    const int folder = static_cast<int>(handle_);
    return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0 ? 0 : last_error();
}

int Folder::add_name(const std::string& existing, const std::string& name) const {
    if (!is_one_component(existing) || !is_one_component(name)) {
        return EINVAL;
    }
    const int folder = static_cast<int>(handle_);
    return ::linkat(folder, existing.c_str(), folder, name.c_str(), 0) == 0 ? 0 : last_error();
}

int Folder::remove_name(const std::string& name) const {
    if (!is_one_component(name)) {
        return EINVAL;
    }
    return ::unlinkat(static_cast<int>(handle_), name.c_str(), 0) == 0 ? 0 : last_error();
}

int Folder::sync() const {
    return ::fsync(static_cast<int>(handle_)) == 0 ? 0 : last_error();
}

bool is_unsupported_rename(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

bool lacks_hard_links(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS;
}

int remove_file(const std::string& name) {
    if (!names_a_file(name)) {
        return EINVAL;
    }
    return ::unlink(name.c_str()) == 0 ? 0 : last_error();
}

bool is_taken_name_refusal(int error) {
    return error == EEXIST;
}

bool is_missing_path(int error) {
    return error == ENOENT || error == ENOTDIR;
}

bool is_permission_refusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

LocalTime local_time() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (::localtime_r(&now, &parts) == nullptr) {
        return {};
    }
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

ClipFile::ClipFile(ClipFile&& other) noexcept : handle_(other.handle_), accessed_(other.accessed_) {
    other.handle_ = -1;
}

ClipFile& ClipFile::operator=(ClipFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        accessed_ = other.accessed_;
        other.handle_ = -1;
    }
    return *this;
}

ClipFile::~ClipFile() {
    close();
}

int ClipFile::open(const Folder& folder, const std::string& name, bool write,
                   FileIdentity& identity) {
    close();
    if (!is_one_component(name)) {
        return EINVAL;
    }
    // O_NONBLOCK: a FIFO put under a clip's name must not hang the run; it is refused below.
    const int opened = ::openat(static_cast<int>(folder.handle_), name.c_str(),
                                (write ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        return last_error();
    }
    identity = {};
    int error = identify_at(opened, "", identity);
    if (error == 0 && !identity.regular) {
        error = not_a_regular_file;
    }
    if (error != 0) {
        ::close(opened);
        return error;
    }
    handle_ = opened;
    accessed_ = identity.accessed;
    return 0;
}

int ClipFile::read_at(std::uint64_t offset, char* into, std::size_t size, std::size_t& got) const {
    got = 0;
    while (got < size) {
        const ssize_t count = ::pread(static_cast<int>(handle_), into + got, size - got,
                                      static_cast<off_t>(offset + got));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return last_error();
        }
        if (count == 0) {
            break;
        }
        got += static_cast<std::size_t>(count);
    }
    return 0;
}

int ClipFile::write_at(std::uint64_t offset, std::string_view bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::pwrite(static_cast<int>(handle_), bytes.data() + done,
                                       bytes.size() - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return count < 0 ? last_error() : ENOSPC;
        }
        done += static_cast<std::size_t>(count);
    }
    return 0;
}

int ClipFile::set_modified(std::int64_t nanoseconds) const {
    constexpr std::int64_t second = 1000000000;
    const auto timespec_of = [](std::int64_t time) {
        if (time == time_not_kept) {
            return timespec{0, UTIME_OMIT};  // rather than a time the clip never had
        }
        const std::int64_t whole = time / second - (time % second < 0 ? 1 : 0);
        return timespec{static_cast<time_t>(whole), static_cast<long>(time - whole * second)};
    };
    // The access time is given as it was, not left out (UTIME_OMIT), where it can be: exFAT
    // through FUSE takes a time left out, on a clip just written, for the present time.
    const std::array<struct timespec, 2> times{timespec_of(accessed_), timespec_of(nanoseconds)};
    return ::futimens(static_cast<int>(handle_), times.data()) == 0 ? 0 : last_error();
}

void ClipFile::close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(std::exchange(handle_, -1)));
    }
}

std::int64_t local_offset_at(std::int64_t unix_seconds) {
    const auto moment = static_cast<std::time_t>(unix_seconds);
    std::tm parts{};
    return ::localtime_r(&moment, &parts) == nullptr ? 0 : parts.tm_gmtoff;
}

std::string path_beside(std::string_view file, std::string_view path) {
    const std::size_t separator = file.rfind('/');
    if (path.starts_with('/') || separator == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(file.substr(0, separator + 1)).append(path);
}

int console_process_count() {
    return 2;
}

std::string command_name(std::string_view started_as) {
    // A bare name was found on the search path, and is found again; a path may be relative to a
    // directory the program does not stay in.
    std::string resolved;
    if (started_as.find('/') == std::string_view::npos ||
        real_path(std::string(started_as), resolved) != 0) {
        return command_argument(started_as.empty() ? rur::program_name : started_as);
    }
    return command_argument(resolved);
}

std::string command_argument(std::string_view argument) {
    constexpr std::string_view plain =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_./:@%+=,-";
    if (!argument.empty() && argument.find_first_not_of(plain) == std::string_view::npos) {
        return std::string(argument);
    }
    // Inside single quotes only a single quote means anything: it ends them, is escaped, and
    // they begin again.
    std::string quoted = "'";
    for (const char byte : argument) {
        quoted.append(byte == '\'' ? "'\\''" : std::string(1, byte));
    }
    return quoted.append("'");
}

int enter_parent_folder(const std::string& folder, std::string& name) {
    std::string resolved;
    if (const int error = real_path(folder, resolved); error != 0) {
        return error;
    }
    const std::size_t separator = resolved.rfind('/');
    name = resolved.substr(separator + 1);
    if (name.empty()) {
        return 0;
    }
    const std::string parent = separator == 0 ? "/" : resolved.substr(0, separator);
    return ::chdir(parent.c_str()) == 0 ? 0 : last_error();
}

int real_path(const std::string& name, std::string& resolved) {
    if (!names_a_file(name)) {
        return EINVAL;
    }
    char* const found = ::realpath(name.c_str(), nullptr);
    if (found == nullptr) {
        return last_error();
    }
    resolved = found;
    std::free(found);
    return 0;
}

}  // namespace platform
