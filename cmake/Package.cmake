# The Debian package: the game and its three desktop tools in /usr/games, the shipped content
# only read in /usr/share/games/tarmacade (the game copies it into the player's folder at the
# first start), a desktop entry, an icon and a manual page for each program, and the
# documents Debian asks for. `make package` builds it; tests/package unpacks and plays it.
find_program(TM_CONVERT convert)
find_program(TM_GZIP gzip)
if(NOT TM_CONVERT OR NOT TM_GZIP)
  message(STATUS "package skipped: ImageMagick's convert or gzip missing")
  return()
endif()

set(TM_PACKAGE_SOURCE ${PROJECT_SOURCE_DIR}/packaging)
set(TM_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package)
set(TM_DESKTOP_PROGRAMS tarmacade tmanalyser tmzipper hueswap)
file(MAKE_DIRECTORY ${TM_PACKAGE_FILES})

set(icons "")
foreach(p ${TM_DESKTOP_PROGRAMS})
  list(APPEND icons ${TM_PACKAGE_FILES}/icons/128x128/apps/${p}.png ${TM_PACKAGE_FILES}/icons/48x48/apps/${p}.png)
endforeach()
add_custom_command(OUTPUT ${icons}
  COMMAND ${TM_PACKAGE_SOURCE}/draw_icons.sh ${TM_PACKAGE_FILES}/icons
  DEPENDS ${TM_PACKAGE_SOURCE}/draw_icons.sh VERBATIM)
# Debian wants the manual pages and the changelog compressed, without a time stamp.
set(compressed "")
set(manuals "")
foreach(p ${TM_DESKTOP_PROGRAMS})
  list(APPEND manuals ${TM_PACKAGE_FILES}/${p}.6.gz)
endforeach()
foreach(f tarmacade.6 tmanalyser.6 tmzipper.6 hueswap.6 changelog)
  add_custom_command(OUTPUT ${TM_PACKAGE_FILES}/${f}.gz
    COMMAND sh -c "${TM_GZIP} -9nc '${TM_PACKAGE_SOURCE}/${f}' > '${TM_PACKAGE_FILES}/${f}.gz'"
    DEPENDS ${TM_PACKAGE_SOURCE}/${f} VERBATIM)
  list(APPEND compressed ${TM_PACKAGE_FILES}/${f}.gz)
endforeach()
add_custom_target(packagefiles ALL DEPENDS ${icons} ${compressed})

install(TARGETS ${TM_DESKTOP_PROGRAMS} RUNTIME DESTINATION games)
# The content without the programs (a pattern would match the folder's own name too). What a
# player writes never ships, should the build's own game folder have been played in.
install(DIRECTORY ${TM_GAME_DIR}/ DESTINATION share/games/tarmacade
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  REGEX "/tarmacade/(tarmacade|tmanalyser|tmzipper|hueswap|tmsim|tmtrack)$" EXCLUDE
  REGEX "/tarmacade/options.set$" EXCLUDE REGEX "/tarmacade/(saves|screens|zip)/[^/]+$" EXCLUDE)
foreach(p ${TM_DESKTOP_PROGRAMS})
  install(FILES ${TM_PACKAGE_SOURCE}/${p}.desktop DESTINATION share/applications)
endforeach()
install(DIRECTORY ${TM_PACKAGE_FILES}/icons/ DESTINATION share/icons/hicolor)
install(FILES ${manuals} DESTINATION share/man/man6)
install(FILES ${TM_PACKAGE_SOURCE}/copyright ${TM_PACKAGE_FILES}/changelog.gz DESTINATION share/doc/tarmacade)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarmacade)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_CONTACT "Tarmacade developers <tarmacade@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down racing game with seasons, replays and track records")
# Debian shows the description as it is: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "One to six drivers, human or computer, race small cars over a square\n\
terrain seen whole from one fixed, tilted camera: single races, time trials\n\
against a recorded ghost lap, and championship seasons with points, standings\n\
and driver statistics. Races pause, replay, save and load; every track keeps\n\
its own records.\n\
\n\
Three desktop tools come with it: tmanalyser shows a saved race on its track\n\
map, tmzipper packs a competition entry into a ZIP archive and hueswap\n\
switches the game's palette.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A failed start is also shown in a desktop dialog when one of these is there.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "zenity | x11-utils")
include(CPack)
set(TM_PACKAGE_READY ON)
