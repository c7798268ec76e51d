# Cross-builds the Windows executable on Debian with mingw-w64 (package g++-mingw-w64-x86-64-posix).
# Test executables run under Wine (packages wine and wine64) as CTest's cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RUR_MINGW_TRIPLE x86_64-w64-mingw32)
# The -posix compilers use the POSIX thread model, which GoogleTest needs for its threads.
set(CMAKE_C_COMPILER ${RUR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RUR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RUR_MINGW_TRIPLE}-windres)

# Headers and libraries come from the mingw-w64 tree only, never from the build machine's own;
# programs (the emulator, code generators) come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${RUR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the test executables, through tools/run-under-wine.sh, in a prefix of their own inside
# the build folder, so that no test depends on, or changes, the user's ~/.wine.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(RUR_WINE wine)
    find_program(RUR_ENV env)
    if(RUR_WINE AND RUR_ENV)
        set(RUR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix
            CACHE PATH "Wine prefix in which the test executables run")
        get_filename_component(RUR_RUN_UNDER_WINE
            ${CMAKE_CURRENT_LIST_DIR}/../tools/run-under-wine.sh ABSOLUTE)
        set(CMAKE_CROSSCOMPILING_EMULATOR
            ${RUR_ENV} WINEPREFIX=${RUR_WINE_PREFIX} ${RUR_RUN_UNDER_WINE}
            CACHE STRING "Runs a Windows executable on this machine")
    endif()
endif()
