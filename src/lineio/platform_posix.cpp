// The platform layer on POSIX systems (Linux first of all).
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif
#include <dirent.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "lineio/platform.hpp"
#include "lineio/posix_rename.hpp"

namespace lineio::platform {

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
// descriptor only when it is a regular file with no other name.
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
    const int flags = ::fcntl(opened, F_GETFL);
    if (flags < 0 || ::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = last_error();
        ::close(opened);
        return error;
    }
    descriptor = opened;
    return 0;
}

bool refuses_no_replace_flag(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

bool has_no_hard_links(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS;
}

enum class RenameWay { no_replace_flag, link_then_unlink, claim_then_rename };

// Test seam: RUR_FORCE_RENAME_FALLBACK=link-then-unlink or claim-then-rename makes every rename
// take that fallback, as on a filesystem that refuses the steps before it, so that whole-program
// tests run each way on whatever filesystem holds them. Read once; any other value is ignored.
RenameWay rename_way() {
    static const RenameWay way = [] {
        const char* forced = std::getenv("RUR_FORCE_RENAME_FALLBACK");
        const std::string_view value = forced != nullptr ? forced : "";
        if (value == "link-then-unlink") {
            return RenameWay::link_then_unlink;
        }
        if (value == "claim-then-rename") {
            return RenameWay::claim_then_rename;
        }
        return RenameWay::no_replace_flag;
    }();
    return way;
}

}  // namespace

namespace posix {

// On filesystems without hard links: the new name is claimed first by creating it exclusively, and
// the file is then renamed onto that placeholder, which is the program's own. A file that another
// program makes under the name at any moment is never replaced: either it is there first and the
// claim fails, or the claim is there first and the other program's exclusive creation fails.
// A kill between the two steps leaves an empty file under the new name and the clip still under
// its old one; nothing is lost.
int rename_when_absent(const std::string& from, const std::string& to) {
    const int placeholder =
        ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (placeholder < 0) {
        return last_error();
    }
    ::close(placeholder);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = last_error();
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

// A new link fails when the target exists; only then is the old name given up. A kill between the
// two steps leaves the clip under both names, one file; the next run removes the old one.
int rename_by_link(const std::string& from, const std::string& to) {
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) != 0) {
        const int error = last_error();
        return has_no_hard_links(error) ? rename_when_absent(from, to) : error;
    }
    if (::unlink(from.c_str()) != 0) {
        // The file would bear both names; take back the new one so that nothing has changed.
        const int error = last_error();
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

}  // namespace posix

void prepare_standard_streams() {
    // A closed pipe on the output is then an error to report, not a silent death. Should the
    // signal not be ignored, nothing better can be done than to run as before.
    static_cast<void>(::signal(SIGPIPE, SIG_IGN));
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

std::string describe_error(int error) {
    return std::strerror(error);
}

bool is_symbolic_link_refusal(int error) {
    return error == ELOOP;
}

bool is_hard_link_refusal(int error) {
    return error == EMLINK;
}

// ---- File ----

File::File(File&& other) noexcept : handle_(other.handle_), writable_(other.writable_) {
    other.handle_ = -1;
    other.writable_ = false;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        writable_ = other.writable_;
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
    return read_some(static_cast<int>(handle_), buffer, capacity, count);
}

int File::write(std::string_view bytes) {
    if (handle_ < 0 || !writable_) {
        return EBADF;
    }
    const int descriptor = static_cast<int>(handle_);
    const off_t start = ::lseek(descriptor, 0, SEEK_CUR);
    if (start < 0) {
        return last_error();
    }
    const int error = write_all(descriptor, bytes);
    if (error != 0) {
        // The part that went in is taken back; should that fail too, the write's own error is
        // still the one to tell.
        static_cast<void>(::ftruncate(descriptor, start));
        static_cast<void>(::lseek(descriptor, start, SEEK_SET));
    }
    return error;
}

int File::truncate_at_position() {
    if (handle_ < 0 || !writable_) {
        return EBADF;
    }
    const off_t position = ::lseek(static_cast<int>(handle_), 0, SEEK_CUR);
    if (position < 0 || ::ftruncate(static_cast<int>(handle_), position) != 0) {
        return last_error();
    }
    return 0;
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
    const int opened = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        return last_error();
    }
    struct stat status {};
    int error = ::fstat(opened, &status) != 0 ? last_error() : 0;
    if (error == 0 && !S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    }
    if (const int flags = ::fcntl(opened, F_GETFL);
        error == 0 && (flags < 0 || ::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
        error = last_error();
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
    return 0;
}

int File::close() {
    if (handle_ < 0) {
        return 0;
    }
    const int descriptor = static_cast<int>(handle_);
    handle_ = -1;
    writable_ = false;
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

int rename_no_replace(const std::string& from, const std::string& to) {
    if (!names_a_file(from) || !names_a_file(to)) {
        return EINVAL;
    }
    if (from == to) {
        // The file already bears the name, provided there is such a file.
        struct stat status {};
        return ::lstat(from.c_str(), &status) == 0 ? 0 : last_error();
    }
    const RenameWay way = rename_way();
    if (way == RenameWay::claim_then_rename) {
        return posix::rename_when_absent(from, to);
    }
#if defined(__linux__) && defined(SYS_renameat2)
    if (way == RenameWay::no_replace_flag) {
        constexpr unsigned int rename_noreplace = 1U;  // RENAME_NOREPLACE of <linux/fs.h>
        if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                      rename_noreplace) == 0) {
            return 0;
        }
        if (const int error = last_error(); !refuses_no_replace_flag(error)) {
            return error;
        }
    }
#endif
    return posix::rename_by_link(from, to);
}

int list_folder(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    if (!names_a_file(folder)) {
        return EINVAL;
    }
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) {
        return last_error();
    }
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
        names.emplace_back(name);
    }
    const int error = errno;
    ::closedir(directory);
    if (error != 0) {
        names.clear();
        return error;
    }
    return 0;
}

int identify_file(const std::string& name, FileIdentity& identity) {
    identity = {};
    if (!names_a_file(name)) {
        return EINVAL;
    }
    struct stat status {};
    if (::lstat(name.c_str(), &status) != 0) {
        return last_error();
    }
    identity.volume = static_cast<std::uint64_t>(status.st_dev);
    identity.index = static_cast<std::uint64_t>(status.st_ino);
    identity.links = static_cast<std::uint64_t>(status.st_nlink);
    return 0;
}

int remove_second_name(const std::string& name, const FileIdentity& file) {
    // Checked right before the removal. POSIX offers no way to remove a name only while it names
    // a given file; a file put under the name in between, by another program, could be removed
    // only if it had yet another name of its own.
    FileIdentity now;
    if (const int error = identify_file(name, now); error != 0) {
        return error;
    }
    if (!now.same_file(file) || now.links < 2) {
        return EPERM;
    }
    return ::unlink(name.c_str()) == 0 ? 0 : last_error();
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

bool is_permission_refusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

int name_exists(const std::string& name, bool& exists) {
    exists = false;
    if (!names_a_file(name)) {
        return EINVAL;
    }
    struct stat status {};
    if (::lstat(name.c_str(), &status) == 0) {
        exists = true;
        return 0;
    }
    return errno == ENOENT || errno == ENOTDIR ? 0 : last_error();
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

std::string path_beside(std::string_view file, std::string_view path) {
    const std::size_t separator = file.rfind('/');
    if (path.starts_with('/') || separator == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(file.substr(0, separator + 1)).append(path);
}

}  // namespace lineio::platform
