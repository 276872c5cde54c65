# What `cmake --install` puts where (prefix /usr/local unless set; DESTDIR
# honoured), after the Filesystem Hierarchy Standard and Debian's games policy:
#   games/grimvale                        the game (manual section 6)
#   bin/lvltool, guitool, modeltool       the tools, which are no games (section 1)
#   sbin/grimvale-master                  the master server, a daemon (section 8)
#   share/games/grimvale/data/            the data tree, maps compiled ahead
#   share/man/man6, man1                  the manual pages, made by mangen
#   share/applications, metainfo, icons/hicolor   the menu entry, AppStream data, icons
#   lib/systemd/system/grimvale-server.service    the dedicated server as a service
#   lib/systemd/system/grimvale-master.service    the master server as a service
#   share/doc/grimvale/                   README, copyright, the server's config example, qstat's types
# The game finds its data from its own place (kInstalledDataFromExe in
# core/paths.h holds the path from games/ to share/games/grimvale/), so the
# prefix can move.
include(GNUInstallDirs)
set(GRIMVALE_APP_ID example.grimvale.Grimvale)
set(GRIMVALE_INSTALL_DATA share/games/grimvale)
set(GRIMVALE_INSTALL_DOC share/doc/grimvale)

# Maps compiled ahead: the installed tree is never written to.
add_custom_command(OUTPUT ${GRIMVALE_BIN}/data/.levels
  COMMAND ${CMAKE_COMMAND} -DLVLTOOL=$<TARGET_FILE:lvltool> -DMAPS=${GRIMVALE_BIN}/data/maps
          -P ${CMAKE_SOURCE_DIR}/packaging/build_levels.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${GRIMVALE_BIN}/data/.levels
  DEPENDS lvltool ${GRIMVALE_BIN}/data/.generated ${CMAKE_SOURCE_DIR}/packaging/build_levels.cmake
  COMMENT "Compiling the maps")
add_custom_target(levels ALL DEPENDS ${GRIMVALE_BIN}/data/.levels)

# Manual pages from the same descriptions as --help, compressed as Debian wants them.
set(GRIMVALE_MAN ${CMAKE_BINARY_DIR}/man)
set(GRIMVALE_MAN_PAGES grimvale.6 lvltool.1 guitool.1 modeltool.1 grimvale-master.8)
set(man_outputs)
foreach(page ${GRIMVALE_MAN_PAGES})
  list(APPEND man_outputs ${GRIMVALE_MAN}/${page}.gz)
endforeach()
file(MAKE_DIRECTORY ${GRIMVALE_MAN})
add_custom_command(OUTPUT ${man_outputs}
  COMMAND mangen ${GRIMVALE_MAN} ${PROJECT_VERSION}
  COMMAND gzip -9nkf ${GRIMVALE_MAN_PAGES}
  WORKING_DIRECTORY ${GRIMVALE_MAN}
  DEPENDS mangen
  COMMENT "Writing the manual pages")
add_custom_target(manpages ALL DEPENDS ${man_outputs})

# The icon, painted at build time (no outside artwork).
find_program(GRIMVALE_CONVERT convert REQUIRED)
set(GRIMVALE_ICON_FONT /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf)
set(GRIMVALE_ICONS ${CMAKE_BINARY_DIR}/icons)
add_custom_command(OUTPUT ${GRIMVALE_ICONS}/256x256/apps/grimvale.png
  COMMAND ${CMAKE_COMMAND} -DCONVERT=${GRIMVALE_CONVERT} -DFONT=${GRIMVALE_ICON_FONT} -DOUT=${GRIMVALE_ICONS}
          -P ${CMAKE_SOURCE_DIR}/packaging/make_icons.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/make_icons.cmake
  COMMENT "Painting the icons")
add_custom_target(icons ALL DEPENDS ${GRIMVALE_ICONS}/256x256/apps/grimvale.png)

configure_file(${CMAKE_SOURCE_DIR}/packaging/${GRIMVALE_APP_ID}.metainfo.xml
  ${CMAKE_BINARY_DIR}/packaging/${GRIMVALE_APP_ID}.metainfo.xml @ONLY)

install(TARGETS grimvale RUNTIME DESTINATION games)
install(TARGETS lvltool guitool modeltool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS grimvale-master RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR})
install(DIRECTORY ${GRIMVALE_BIN}/data DESTINATION ${GRIMVALE_INSTALL_DATA}
  PATTERN .generated EXCLUDE PATTERN .levels EXCLUDE PATTERN *.tmp EXCLUDE
  # The benchmarks' map of a quarter-million triangles is no map to play.
  REGEX "/maps/stress$" EXCLUDE)
foreach(page ${GRIMVALE_MAN_PAGES})
  string(REGEX REPLACE ".*\\." "" section ${page})
  install(FILES ${GRIMVALE_MAN}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
install(FILES packaging/${GRIMVALE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${GRIMVALE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${GRIMVALE_ICONS}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
# The units name the programs' installed paths, known only when installing.
foreach(unit grimvale-server.service grimvale-master.service)
  install(CODE "configure_file(${CMAKE_SOURCE_DIR}/packaging/${unit} ${CMAKE_BINARY_DIR}/packaging/${unit} @ONLY)")
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${unit} DESTINATION lib/systemd/system)
endforeach()
install(FILES README.md packaging/copyright DESTINATION ${GRIMVALE_INSTALL_DOC})
install(FILES packaging/config.ini.example DESTINATION ${GRIMVALE_INSTALL_DOC}/examples RENAME config.ini)
install(FILES packaging/qstat.cfg DESTINATION ${GRIMVALE_INSTALL_DOC}/examples)
