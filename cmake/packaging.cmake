# What `cmake --install` puts where, and the packages CPack makes of it (`./dev package`): a
# Debian package from a Linux build, a zip from the Windows build.
if(WIN32)
    # A Windows user unzips the program next to the clip folder, so the zip holds no folders: the
    # .exe, its instructions, its changes and its licence, with the line ends Notepad expects.
    configure_file(${PROJECT_SOURCE_DIR}/README-Windows.txt
                   ${PROJECT_BINARY_DIR}/README-Windows.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_BINARY_DIR}/CHANGELOG.txt @ONLY
                   NEWLINE_STYLE CRLF)
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt @ONLY
                   NEWLINE_STYLE CRLF)
    install(TARGETS DoridivezizoziRUR RUNTIME DESTINATION .)
    install(FILES ${PROJECT_BINARY_DIR}/README-Windows.txt ${PROJECT_BINARY_DIR}/CHANGELOG.txt
                  ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
endif()

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "DoridivezizoziRUR maintainers")
set(CPACK_PACKAGE_CONTACT "Seed a3104090 maintainers <maintainers@users.noreply.c-seed-a3104090.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "renames video clips named after a camera clock that was set wrong")
# Debian shows these lines as they are, so none is longer than 79 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "You tell the program what the camera showed at one moment and what it
should have shown. It works out the error in whole minutes and renames every
video clip (.avi, .mp4, .m4v) of one folder, named yyyy_mm_dd_hh_mm_ss after
the camera's clock, to the corrected date and time, never overwriting a file,
and writes every outcome to a report file.")

if(NOT WIN32)
    install(TARGETS DoridivezizoziRUR RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The manual page and both changelogs are installed compressed (gzip -9n, so that the same
    # sources make the same bytes), as Debian requires; man reads them so everywhere. The
    # program's own changelog takes the name Debian gives an upstream changelog, changelog.gz.
    find_program(RUR_GZIP gzip REQUIRED)
    set(documents ${PROJECT_BINARY_DIR}/documents)
    configure_file(${PROJECT_SOURCE_DIR}/doc/DoridivezizoziRUR.1.in
                   ${documents}/DoridivezizoziRUR.1 @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/doc/changelog.Debian ${documents}/changelog.Debian
                   COPYONLY)
    configure_file(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${documents}/changelog COPYONLY)
    set(compressed)
    foreach(document DoridivezizoziRUR.1 changelog.Debian changelog)
        add_custom_command(OUTPUT ${documents}/${document}.gz
            COMMAND ${RUR_GZIP} -9nkf ${documents}/${document}
            DEPENDS ${documents}/${document} VERBATIM)
        list(APPEND compressed ${documents}/${document}.gz)
    endforeach()
    add_custom_target(rur_documents ALL DEPENDS ${compressed})

    # Debian's copyright file, in its machine-readable form, takes the holder and the terms
    # from LICENSE: each line of the terms indented by a blank, an empty one written " .".
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
    string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" unused "${licence}")
    set(RUR_COPYRIGHT ${CMAKE_MATCH_1})
    string(REGEX REPLACE "^.*\n\n(Permission )" "\\1" terms "${licence}")
    string(STRIP "${terms}" terms)
    string(REPLACE "\n\n" "\n.\n" terms "${terms}")
    string(REPLACE "\n" "\n " RUR_LICENSE_TERMS " ${terms}")
    configure_file(${PROJECT_SOURCE_DIR}/doc/copyright.in ${documents}/copyright @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

    install(FILES ${documents}/DoridivezizoziRUR.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md ${documents}/copyright
                  ${documents}/changelog.gz ${documents}/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
    # The package's own name, in lower case, starts the program too. Not on macOS, whose
    # filesystems do not tell the two names apart: the link would replace the program.
    if(NOT APPLE)
        file(CREATE_LINK DoridivezizoziRUR ${documents}/doridivezizozirur SYMBOLIC)
        file(CREATE_LINK DoridivezizoziRUR.1.gz ${documents}/doridivezizozirur.1.gz SYMBOLIC)
        install(FILES ${documents}/doridivezizozirur DESTINATION ${CMAKE_INSTALL_BINDIR})
        install(FILES ${documents}/doridivezizozirur.1.gz
                DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endif()

set(CPACK_STRIP_FILES ON)
# The version comes from project() alone.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_PACKAGE_NAME doridivezizozirur)
    # The Debian revision: the package is made outside the program's sources' own release.
    set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION video)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # dpkg-shlibdeps (package dpkg-dev) names the libraries the program needs.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
