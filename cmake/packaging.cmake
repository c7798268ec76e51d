# What `cmake --install` puts where, and the packages CPack makes of it (`./dev package`): a
# Debian package from a Linux build, a zip from the Windows build.
if(WIN32)
    # A Windows user unzips the program next to the clip folder, so the zip holds no folders: the
    # .exe and its instructions, with the line ends Notepad expects.
    configure_file(${PROJECT_SOURCE_DIR}/README-Windows.txt
                   ${PROJECT_BINARY_DIR}/README-Windows.txt @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS DoridivezizoziRUR RUNTIME DESTINATION .)
    install(FILES ${PROJECT_BINARY_DIR}/README-Windows.txt DESTINATION .)
else()
    install(TARGETS DoridivezizoziRUR RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "DoridivezizoziRUR maintainers")
set(CPACK_PACKAGE_CONTACT "Seed a3104090 maintainers <maintainers@users.noreply.c-seed-a3104090.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "renames video clips named after a camera clock that was set wrong")
set(CPACK_PACKAGE_DESCRIPTION
    "You tell the program what the camera showed at one moment and what it should have shown.
It works out the error in whole minutes and renames every video clip (.avi, .mp4, .m4v) of one
folder, named yyyy_mm_dd_hh_mm_ss after the camera's clock, to the corrected date and time,
never overwriting a file, and writes every outcome to a report file.")
set(CPACK_STRIP_FILES ON)
# The version comes from project() alone.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION video)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # dpkg-shlibdeps (package dpkg-dev) names the libraries the program needs.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
