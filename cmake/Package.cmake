# The Debian package of the installed programs: `cpack -G DEB` in the build folder writes
# linkwright_<version>_<architecture>.deb. Its library dependencies come from dpkg-shlibdeps.
set(LINKWRIGHT_PACKAGE_MAINTAINER "Linkwright maintainers <maintainers@users.noreply.c-seed-e427e4e4.example>"
    CACHE STRING "Maintainer named by the Debian package")

set(CPACK_PACKAGE_NAME linkwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Linkwright developers")
set(CPACK_PACKAGE_CONTACT ${LINKWRIGHT_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulator of steam-locomotive valve gears")
# Lines as the package shows them; an empty line separates paragraphs.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Linkwright draws a steam-locomotive valve gear to scale at any crank angle\n"
    "and reverser setting, and solves a whole revolution for the valve events of\n"
    "both cylinder ends (admission, cut-off, release, compression), with text\n"
    "listings, an indicator diagram, an oval diagram of the valve edges and, over\n"
    "ten reverser settings, a family of indicator curves and an events diagram.\n"
    "\n"
    "It covers Walschaerts gear (also with a double hanger), Baker gear and\n"
    "Stephenson's link motion (also slanted, through a rocker). linkwright is the\n"
    "desktop program; linkwright-cli draws, solves and analyses a gear without a\n"
    "window.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LINKWRIGHT_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The drawings and the text windows are set in the Liberation fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
