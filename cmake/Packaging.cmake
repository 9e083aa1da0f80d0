# What `cmake --install` puts beside the two programs, and the Debian package made from it
# (`cmake --build <dir> --target package`). Every destination is relative, so the tree can
# be staged with DESTDIR or installed under another prefix; the game finds its data from its
# own location. The layout is a game's under every prefix (see PUNKTIVO_INSTALL_GAMESDIR).

set(PUNKTIVO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# Read-only stock files. The help file is installed once it is in the source tree.
set(PUNKTIVO_STOCK_FILES
  ${PROJECT_SOURCE_DIR}/data/leicht.ptv
  ${PROJECT_SOURCE_DIR}/data/mittel.ptv
  ${PROJECT_SOURCE_DIR}/data/schwer.ptv
  ${PROJECT_SOURCE_DIR}/data/extrem.ptv
)
if(EXISTS ${PROJECT_SOURCE_DIR}/data/Punktivo.chm)
  set(PUNKTIVO_INSTALL_HELP ON)
  list(APPEND PUNKTIVO_STOCK_FILES ${PROJECT_SOURCE_DIR}/data/Punktivo.chm)
else()
  set(PUNKTIVO_INSTALL_HELP OFF)
endif()
install(FILES ${PUNKTIVO_STOCK_FILES} DESTINATION ${PUNKTIVO_DATA_SUBDIR})

# Desktop integration. The AppStream file is named by its component id.
set(PUNKTIVO_APPSTREAM_ID example.punktivo.Punktivo)
install(PROGRAMS ${PUNKTIVO_PACKAGING_DIR}/punktivo-launcher DESTINATION ${PUNKTIVO_INSTALL_GAMESDIR})
# The desktop entry names the launcher by its full path: a session's PATH need not hold the
# games folder. The path is that of the prefix the install runs for (`--prefix`, or /usr
# when CPack makes the package), so it is written at install time.
set(punktivo_desktop_out ${PROJECT_BINARY_DIR}/packaging/punktivo.desktop)
install(CODE "
  set(PUNKTIVO_LAUNCHER_PATH \"\${CMAKE_INSTALL_PREFIX}/${PUNKTIVO_INSTALL_GAMESDIR}/punktivo-launcher\")
  configure_file(\"${PUNKTIVO_PACKAGING_DIR}/punktivo.desktop.in\" \"${punktivo_desktop_out}\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
       TYPE FILE FILES \"${punktivo_desktop_out}\")
")
install(FILES ${PUNKTIVO_PACKAGING_DIR}/${PUNKTIVO_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PUNKTIVO_PACKAGING_DIR}/icons/punktivo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(PUNKTIVO_ICON_SIZES 16 22 24 32 48 64 128 256)
foreach(size ${PUNKTIVO_ICON_SIZES})
  install(FILES ${PUNKTIVO_PACKAGING_DIR}/icons/punktivo-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME punktivo.png)
endforeach()

# Man pages (with the project's version filled in) and the Debian changelog, compressed as
# Debian wants them.
set(PUNKTIVO_MAN_PAGES man6/punktivo.6 man1/punktivo-tool.1)
set(punktivo_gzip_outputs)
function(punktivo_gzip source output)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${source} ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${source}"
    VERBATIM)
  set(punktivo_gzip_outputs ${punktivo_gzip_outputs} ${output} PARENT_SCOPE)
endfunction()
foreach(page ${PUNKTIVO_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  get_filename_component(section ${page} DIRECTORY)
  configure_file(${PUNKTIVO_PACKAGING_DIR}/man/${name}.in ${PROJECT_BINARY_DIR}/man/${name} @ONLY)
  punktivo_gzip(${PROJECT_BINARY_DIR}/man/${name} ${PROJECT_BINARY_DIR}/man/${name}.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${section})
endforeach()
# punktivo(6) describes the launcher too; its page is a link to that one.
file(CREATE_LINK punktivo.6.gz ${PROJECT_BINARY_DIR}/man/punktivo-launcher.6.gz SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/man/punktivo-launcher.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The Debian changelog is the package's changelog (a native package has no other), so its
# newest entry must be this version.
set(punktivo_changelog ${PUNKTIVO_PACKAGING_DIR}/debian/changelog)
file(STRINGS ${punktivo_changelog} punktivo_changelog_head LIMIT_COUNT 1)
if(NOT punktivo_changelog_head MATCHES "^punktivo \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog starts with \"${punktivo_changelog_head}\", "
                      "not with an entry for version ${PROJECT_VERSION}")
endif()
punktivo_gzip(${punktivo_changelog} ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_target(punktivo_compressed_docs ALL DEPENDS ${punktivo_gzip_outputs})

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/tools/punktivo-tool.md
              ${PUNKTIVO_PACKAGING_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/punktivo)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME punktivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Punktivo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sudoku with white and black dots between the cells")
# Lines of at most 79 characters: dpkg puts a space before each, and Debian's limit is 80.
set(CPACK_PACKAGE_DESCRIPTION "\
Punktivo is a 9x9 sudoku with dots: between two neighbouring cells a white\n\
dot says that the digits differ by 1, a black dot that one is twice the\n\
other, and no dot that neither holds. New puzzles at four levels, candidate\n\
notes, an error check, a clock and a hall of fame; own boards can be entered,\n\
saved and printed. German user interface. The package also holds\n\
punktivo-tool, which runs the game's puzzle engine on board files.")
set(CPACK_PACKAGE_CONTACT "Punktivo developers <maintainers@punktivo.example>")
# A package lives under /usr, whatever prefix the build was configured for.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Only in the package, not in a plain install: lintian's override of the one tag that
# punktivo-tool in /usr/bin draws (packaging/debian/lintian/punktivo says why).
set(CPACK_INSTALLED_DIRECTORIES ${PUNKTIVO_PACKAGING_DIR}/debian/lintian /usr/share/lintian/overrides)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The fonts are mapped by name (not found through the libraries), the help reader's chmlib is
# named here too; the libraries come from dpkg-shlibdeps where it is installed (dpkg-dev;
# CPack also needs `file` to find the programs).
set(punktivo_depends "libchm1, fonts-liberation2, fonts-dejavu-core")
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(PUNKTIVO_FILE_PROGRAM file)
if(DPKG_SHLIBDEPS AND PUNKTIVO_FILE_PROGRAM)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND punktivo_depends
    ", libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4)"
    ", libqt6printsupport6 (>= 6.4), libstdc++6 (>= 12), libc6 (>= 2.36)")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${punktivo_depends}")
include(CPack)
