# Install rules: the player, its two movies, the command-line tool and what the desktop
# needs: the desktop entry, the icons, the thumbnailer, the AppStream data, the manual page.
#
# The player finds its bundled movies in the folder of its executable (the command-line
# keywords "yintian" and "fatbaby"), so the executable and the movies share a private
# program folder, and bin/ holds a relative symbolic link to the executable. The link is
# resolved by the system, so the running program still sees its own folder.
if(ZORVA_FUZZ)
  return()
endif()

include(GNUInstallDirs)

set(ZORVA_PROGRAM_DIR "${CMAKE_INSTALL_LIBDIR}/zorvaplay")

install(TARGETS zorvaplay RUNTIME DESTINATION "${ZORVA_PROGRAM_DIR}")

# The movies are made by demos/ at build time; while it cannot make them yet, the
# install goes on without them.
install(FILES
          "${CMAKE_BINARY_DIR}/阴天.swf"
          "${CMAKE_BINARY_DIR}/I Want A Fat Baby.swf"
        DESTINATION "${ZORVA_PROGRAM_DIR}"
        OPTIONAL)

file(RELATIVE_PATH ZORVA_LINK_TARGET "/${CMAKE_INSTALL_BINDIR}" "/${ZORVA_PROGRAM_DIR}/zorvaplay")
install(CODE "
  set(bin_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin_dir}\")
  message(STATUS \"Installing: \${bin_dir}/zorvaplay -> ${ZORVA_LINK_TARGET}\")
  file(CREATE_LINK \"${ZORVA_LINK_TARGET}\" \"\${bin_dir}/zorvaplay\" SYMBOLIC)
")

install(FILES "${CMAKE_SOURCE_DIR}/packaging/zorvaplay.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

# The tool is a program of its own on the path: file managers run it for thumbnails.
install(TARGETS zorvaplay-swf RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${CMAKE_SOURCE_DIR}/packaging/zorvaplay.thumbnailer"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/thumbnailers")
install(FILES "${CMAKE_SOURCE_DIR}/packaging/zorvaplay.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(DIRECTORY "${ZORVA_ICON_DIR}/hicolor" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons")
install(FILES "${ZORVA_MAN_PAGE}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
