# The first start of a fresh Wine prefix takes several seconds. The build sets the prefix up once,
# so that no test, and no discovery of tests (which gives a test executable five seconds to list
# its tests), pays for it or times out on it.
if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR AND RUR_WINE_PREFIX)
    set(RUR_WINE_PREFIX_READY ${RUR_WINE_PREFIX}/rur-prefix-ready)
    add_custom_command(
        OUTPUT ${RUR_WINE_PREFIX_READY}
        COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd.exe /c exit
        COMMAND ${CMAKE_COMMAND} -E touch ${RUR_WINE_PREFIX_READY}
        COMMENT "Setting up the Wine prefix for the tests"
        VERBATIM)
    add_custom_target(rur_wine_prefix ALL DEPENDS ${RUR_WINE_PREFIX_READY})
endif()
