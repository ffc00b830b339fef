# `make package` (or `cpack` in the build folder): a Debian package of everything the
# install rules put in place, under /usr. The libraries it needs are found by
# dpkg-shlibdeps from the programs themselves.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zorvaplay")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Zorvaplay")
set(CPACK_PACKAGE_CONTACT "Zorvaplay developers <dev@zorvaplay.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for Flash movies (SWF) with a Chinese interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvaplay plays Flash movies of the SWF 1 to 8 era with their pictures and sound, in a
small skinned window with a Chinese interface, a play list and global hot keys.
The command-line tool zorvaplay-swf exports movies to MP4, WebM, GIF or PNG pictures,
and draws the thumbnails that file managers show for SWF files.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "video")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese text needs a font with its letters; Qt finds this one on any Debian desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, qt6-translations-l10n")
include(CPack)
