// Holds the file it is given first open, sharing nothing, as a player holds a clip on Windows,
// while the program it is given second runs on the same console.
#include <process.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    const bool held = argc == 3 && CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                               nullptr) != INVALID_HANDLE_VALUE;
    return held ? static_cast<int>(_wspawnl(_P_WAIT, argv[2], L"DoridivezizoziRUR", nullptr)) : 126;
}
