# `cpack -G DEB` in the build directory makes the Debian package of what
# cmake/install.cmake installs, under /usr. Its dependencies come from the
# libraries the binaries link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME grimvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Grimvale developers")
set(CPACK_PACKAGE_CONTACT "Grimvale developers <developers@grimvale.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multiplayer first-person shooter for two teams")
# CPack puts the summary first and indents these lines; an empty line becomes " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Two teams fight in rounds on levels built from 3D scenes, buy weapons and
armour with the gold each round brings, and play over TCP and UDP: one
machine hosts while it plays, the others join it, and bots fill the teams.

The package also holds a dedicated server, run as the systemd service
grimvale-server, a master server that lists public servers (the service
grimvale-master), and the tools for map, model and window makers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Sound is loaded at run time; without it the game plays silent.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libopenal1")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://grimvale.example/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)

# Debian wants the package's own change log beside the copyright.
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nkf changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog)
add_custom_target(changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${GRIMVALE_INSTALL_DOC})
include(CPack)
