// The error numbers the platform layer returns for the failures tests provoke, in the numbering of
// the system the tests run on.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#endif

namespace test_support::system_error {

#ifdef _WIN32
inline constexpr int name_taken = ERROR_ALREADY_EXISTS;
inline constexpr int no_such_file = ERROR_FILE_NOT_FOUND;
inline constexpr int no_such_path = ERROR_PATH_NOT_FOUND;
inline constexpr int invalid_name = ERROR_INVALID_NAME;
// A folder cannot be opened as a file at all.
inline constexpr int folder_as_file = ERROR_ACCESS_DENIED;
#else
inline constexpr int name_taken = EEXIST;
inline constexpr int no_such_file = ENOENT;
inline constexpr int no_such_path = ENOENT;
inline constexpr int invalid_name = EINVAL;
inline constexpr int folder_as_file = EISDIR;
#endif

}  // namespace test_support::system_error
