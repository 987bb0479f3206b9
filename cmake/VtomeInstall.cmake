# What `cmake --install` puts where, and the Debian package made of the same
# files (`cpack -G DEB`). The folders are GNUInstallDirs' own; README.md lists
# every file.
include(GNUInstallDirs)

# The folder is named after the package, in lower case like the commands.
set(VTOME_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/vtome")
set(VTOME_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/vtome")

# An installed viewer finds its manual (and knows it is installed) through
# ../share/vtome/ beside its own folder, so the two must stay siblings.
file(RELATIVE_PATH data_from_bin "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/vtome")
if(NOT data_from_bin STREQUAL "../share/vtome")
  message(FATAL_ERROR "vTome finds its data in ../share/vtome relative to its executable; "
                      "CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR give ${data_from_bin}")
endif()

install(TARGETS vtome vtome-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/vTome_doc.vtome DESTINATION ${VTOME_INSTALL_DATADIR})

set(data ${PROJECT_SOURCE_DIR}/data)
install(FILES ${data}/${VTOME_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${VTOME_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${data}/${VTOME_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The PNG sizes scripts/render-icons draws.
set(VTOME_ICON_SIZES 16 22 24 32 48 64 128 256)
foreach(size IN LISTS VTOME_ICON_SIZES)
  install(FILES ${data}/icons/hicolor/${size}x${size}/apps/${VTOME_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${data}/icons/hicolor/scalable/apps/${VTOME_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages are installed compressed, as Debian wants them; -n keeps the
# archive free of the build's time stamp.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_pages)
foreach(page vtome.1 vtome-tool.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "\"$0\" -9n -c \"$1\" > \"$2\"" ${GZIP_PROGRAM} ${PROJECT_SOURCE_DIR}/docs/${page} ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page}
    COMMENT "Compressing the manual page ${page}"
    VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(vtome_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VTOME_INSTALL_DOCDIR})

# --- the Debian package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vtome)
set(CPACK_PACKAGE_VENDOR "The vTome authors")
set(CPACK_PACKAGE_CONTACT "The vTome authors <vtome-help@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vtome.example.org")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for help documents with contents, search, bookmarks and notes")
# Lines as the package's description shows them (CPack indents them).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "vTome shows a help document, one plain-text file of bracketed sections,"
  "as a contents tree beside the text of the selected topic. It moves"
  "through the topics from the keyboard, searches a topic or the whole"
  "document, keeps bookmarks and one note per topic beside the document,"
  "and exports a document as plain text."
  ""
  "vtome-tool lists, searches and exports help documents and edits vTome's"
  "files from scripts.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION doc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; Qt's window-system plugins are
# loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# No maintainer scripts: the file triggers of these packages refresh the MIME
# database, the desktop entries' MIME cache and the icon cache.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
include(CPack)
