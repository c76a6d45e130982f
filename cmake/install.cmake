# What `cmake --install` lays out besides the program and its modules, and the Debian
# package CPack makes of it (tools/package).
set(G3_VERSION 0.1.0)
set(G3_DATA ${PROJECT_SOURCE_DIR}/data)

install(CODE [[
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  file(MAKE_DIRECTORY "${root}/bin")
  file(CREATE_LINK ../lib/grottan3/grottan3 "${root}/bin/grottan3" SYMBOLIC)
  # The second instance the window menu starts.
  file(CREATE_LINK grottan3 "${root}/lib/grottan3/grotx" SYMBOLIC)
]])

install(FILES ${G3_DATA}/grottan3.desktop DESTINATION share/applications)
install(FILES ${G3_DATA}/io.github.grottan3.grottan3.metainfo.xml DESTINATION share/metainfo)
install(FILES ${G3_DATA}/icons/grottan3.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${G3_DATA}/icons/${size}x${size}/grottan3.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page and the changelog go compressed as Debian wants them (gzip -9n: no name,
# no time, so the package is the same each time it is made).
set(gz ${CMAKE_BINARY_DIR}/gz)
add_custom_command(OUTPUT ${gz}/grottan3.1.gz ${gz}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${gz}
  COMMAND gzip -9nc ${G3_DATA}/grottan3.1 > ${gz}/grottan3.1.gz
  COMMAND gzip -9nc ${G3_DATA}/debian/changelog > ${gz}/changelog.gz
  DEPENDS ${G3_DATA}/grottan3.1 ${G3_DATA}/debian/changelog)
add_custom_target(g3_compressed_docs ALL DEPENDS ${gz}/grottan3.1.gz ${gz}/changelog.gz)
install(FILES ${gz}/grottan3.1.gz DESTINATION share/man/man1)
install(FILES ${gz}/changelog.gz ${G3_DATA}/debian/copyright DESTINATION share/doc/grottan3)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME grottan3)
set(CPACK_PACKAGE_VERSION ${G3_VERSION})
set(CPACK_PACKAGE_VENDOR "The Grottan3 developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Grottan3 developers <grottan3@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/grottan3/grottan3)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file manager that speaks of caves and houses")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Grottan3 shows a folder tree beside a file list, a history of the folders
visited, a row of favourite folders and a quick view of the file under the
pointer. It copies and moves files with same-name rules and reports every file
it could not handle, evicts to the trash, renames in bulk, searches by
wildcard, and thaws and freezes archives. All its texts are Japanese.")
# The libraries are found by dpkg-shlibdeps; these are the programs and plugins it runs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "xdg-utils, libglib2.0-bin, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, libemf2svg1")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
