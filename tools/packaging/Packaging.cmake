# Installation and the Debian packages.
#
# cmake --install build [--prefix DIR] puts the program under
# libexec/zephyrion/, its pictures and music under share/zephyrion/, a
# launcher in bin/ that runs the game in $XDG_DATA_HOME/zephyrion, a desktop
# entry, an icon, the manual pages and the score server.
#
# cpack -G DEB (in the build folder) makes two packages from the same rules:
# zephyrion (the component "game", its launcher in /usr/games) and
# zephyrion-scores (the component "server", with its systemd service and
# system user). Files only a package carries are EXCLUDE_FROM_ALL: a plain
# install into a prefix of one's own gets no service and no Debian documents.
include(GNUInstallDirs)

set(ZEPHYRION_PACKAGE_MAINTAINER "Zephyrion developers <zephyrion@example.org>"
  CACHE STRING "Maintainer named in the Debian packages")

set(ZEPHYRION_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ZEPHYRION_STAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
set(ZEPHYRION_VERSION ${PROJECT_VERSION})
set(ZEPHYRION_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/zephyrion)

# The launcher for the folder DIR (relative to the prefix) finds the program
# and its data relative to itself, so any prefix works.
function(zephyrion_launcher dir out)
  foreach(kind EXE DATA)
    if(kind STREQUAL "EXE")
      set(target ${CMAKE_INSTALL_LIBEXECDIR}/zephyrion)
    else()
      set(target ${CMAKE_INSTALL_DATADIR}/zephyrion)
    endif()
    if(IS_ABSOLUTE "${dir}" OR IS_ABSOLUTE "${target}")
      get_filename_component(path "${target}" ABSOLUTE BASE_DIR "${CMAKE_INSTALL_PREFIX}")
    else()
      file(RELATIVE_PATH rel /prefix/${dir} /prefix/${target})
      set(path "$bindir/${rel}")
    endif()
    set(ZEPHYRION_LAUNCHER_${kind}_DIR "${path}")
  endforeach()
  configure_file(${ZEPHYRION_PACKAGING_DIR}/zephyrion.in ${out} @ONLY)
endfunction()

# A file configured with @VARIABLES@ and compressed the way Debian wants its
# manual pages and change logs (no name, no time stamp in the header).
function(zephyrion_gzip source name)
  configure_file(${source} ${ZEPHYRION_STAGING_DIR}/${name} @ONLY)
  execute_process(COMMAND gzip -9nc ${ZEPHYRION_STAGING_DIR}/${name}
    OUTPUT_FILE ${ZEPHYRION_STAGING_DIR}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
endfunction()

zephyrion_launcher(${CMAKE_INSTALL_BINDIR} ${ZEPHYRION_STAGING_DIR}/bin/zephyrion)
zephyrion_launcher(games ${ZEPHYRION_STAGING_DIR}/games/zephyrion)
zephyrion_gzip(${ZEPHYRION_PACKAGING_DIR}/zephyrion.6 zephyrion.6)
foreach(ZEPHYRION_PACKAGE_NAME zephyrion zephyrion-scores)
  zephyrion_gzip(${ZEPHYRION_PACKAGING_DIR}/changelog.in doc/${ZEPHYRION_PACKAGE_NAME}/changelog)
endforeach()

# The game. The launcher in bin/ belongs to plain installs, the one in games/
# to the package (Debian keeps games there).
install(TARGETS zephyrion RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zephyrion COMPONENT game)
install(PROGRAMS ${ZEPHYRION_STAGING_DIR}/bin/zephyrion DESTINATION ${CMAKE_INSTALL_BINDIR}
  COMPONENT launcher)
install(PROGRAMS ${ZEPHYRION_STAGING_DIR}/games/zephyrion DESTINATION games
  COMPONENT game EXCLUDE_FROM_ALL)
install(DIRECTORY ${CMAKE_BINARY_DIR}/Data ${CMAKE_BINARY_DIR}/sound
  DESTINATION ${CMAKE_INSTALL_DATADIR}/zephyrion COMPONENT game
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${ZEPHYRION_PACKAGING_DIR}/zephyrion.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/share/zephyrion.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps COMPONENT game)
install(FILES ${ZEPHYRION_STAGING_DIR}/zephyrion.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
  COMPONENT game)
install(FILES ${ZEPHYRION_PACKAGING_DIR}/copyright ${ZEPHYRION_STAGING_DIR}/doc/zephyrion/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zephyrion COMPONENT game EXCLUDE_FROM_ALL)

# The score server: a plain install takes it when it was built (./play builds
# only the game); the package always has it.
if(TARGET zephyrion-scores)
  install(TARGETS zephyrion-scores RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server
    OPTIONAL)
  # Its manual page is made with the program, so that an install after a
  # build of the game alone has neither.
  set(page ${ZEPHYRION_STAGING_DIR}/server/zephyrion-scores.1.gz)
  configure_file(${ZEPHYRION_PACKAGING_DIR}/zephyrion-scores.1 ${ZEPHYRION_STAGING_DIR}/zephyrion-scores.1 @ONLY)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZEPHYRION_STAGING_DIR}/server
    COMMAND sh -c "gzip -9nc \"$1\" >\"$2\"" sh ${ZEPHYRION_STAGING_DIR}/zephyrion-scores.1 ${page}
    DEPENDS ${ZEPHYRION_STAGING_DIR}/zephyrion-scores.1 VERBATIM)
  add_custom_target(zephyrion_scores_manual DEPENDS ${page})
  add_dependencies(zephyrion-scores zephyrion_scores_manual)
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT server OPTIONAL)
  install(FILES ${ZEPHYRION_PACKAGING_DIR}/zephyrion-scores.service DESTINATION lib/systemd/system
    COMPONENT server EXCLUDE_FROM_ALL)
  install(FILES ${ZEPHYRION_PACKAGING_DIR}/zephyrion-scores.sysusers DESTINATION lib/sysusers.d
    RENAME zephyrion-scores.conf COMPONENT server EXCLUDE_FROM_ALL)
  install(FILES ${ZEPHYRION_PACKAGING_DIR}/copyright ${ZEPHYRION_STAGING_DIR}/doc/zephyrion-scores/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zephyrion-scores COMPONENT server EXCLUDE_FROM_ALL)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zephyrion)
set(CPACK_PACKAGE_VENDOR "The Zephyrion developers")
set(CPACK_PACKAGE_CONTACT "${ZEPHYRION_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game)
if(TARGET zephyrion-scores)
  list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZEPHYRION_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME zephyrion)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS "fonts-play, xdg-utils")
set(CPACK_COMPONENT_GAME_DESCRIPTION "vertically scrolling space shooter
Fly a warship over two scrolling star fields, stage after stage, and shoot
enemy fighters that arrive in formations, asteroids and, on every third
stage, a large command ship. Destroyed enemies drop armour, energy, extra
ships, better guns and special weapons. The best ten results are kept, and
a new high score can be sent to a world table.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME zephyrion-scores)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "systemd | systemd-sysusers")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
  ${ZEPHYRION_PACKAGING_DIR}/zephyrion-scores/postinst
  ${ZEPHYRION_PACKAGING_DIR}/zephyrion-scores/prerm
  ${ZEPHYRION_PACKAGING_DIR}/zephyrion-scores/postrm)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "world table server of the Zephyrion space shooter
Takes the results that Zephyrion players send after a new high score and
serves the world table page. The package runs it as a systemd service under
its own system user, with the table in /var/lib/zephyrion-scores.")

include(CPack)
