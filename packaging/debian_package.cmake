# The Debian package, made by CPack from the install rules (scripts/package).
# The turntable simulator stays out: it plays a controller board for
# development and tests, and is wired to the program only by the demo
# script of the source tree, so it would serve no one who installs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentrivo)
set(CPACK_PACKAGE_VENDOR "Zentrivo developers")
set(CPACK_PACKAGE_CONTACT "Zentrivo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turntable control for product photography")
set(CPACK_PACKAGE_DESCRIPTION
    "Zentrivo drives a motorised turntable for product photography over a serial
port: it plays a shoot one command at a time, shows the progress, collects the
camera's new photos and copies them into a new folder, and makes 360-degree
views of them (zentrivo-spin on the command line).")
set(CPACK_PACKAGE_HOMEPAGE_URL ${ZENTRIVO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Install where the program was built to expect it: it keeps its settings
# out of that folder (SettingsFolderFor).
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
# Dependencies from the libraries the program links, and the SVG plugin,
# which Qt loads by itself for every icon of the program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6 (>= 6.4)")
# The 360-degree export makes its MP4 with the ffmpeg program when it is
# there, and says so when it is not.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg")

include(CPack)
