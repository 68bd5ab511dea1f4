# `make package`: a Debian package of both programs, the demo galaxy and the desktop files.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornexinfo)
set(CPACK_PACKAGE_VENDOR "VornexInfo developers")
set(CPACK_PACKAGE_CONTACT "The VornexInfo developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "galaxy map and planet ratings for a space-strategy game")
set(CPACK_PACKAGE_DESCRIPTION
"VornexInfo is a desktop companion for a turn-based space-strategy game of up
to sixteen players. It reads the plain-text reports the game exports and shows
the galaxy on a zoomable, draggable map, every planet coloured by the race that
owns it, with a planet panel (population, installations, minerals, environment
and how habitable the planet is for your race, without and with terraforming),
a race editor for the sixteen players, a planet search, a distance measure and
an export of what you know for your team.

The package also holds vornexinfo-report, which prints the same planet ratings
on the command line as a table, CSV or JSON, and a demo galaxy
(vornexinfo --demo).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies are read from the binaries; the platform plugins are loaded at run time, so
# the window needs them named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vornexinfo)
include(CPack)
