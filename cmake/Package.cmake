# `cpack -G DEB` in a build folder: the installed files as a Debian package. The library
# dependencies are read from the executables by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rovanta)
set(CPACK_PACKAGE_VENDOR "Rovanta")
set(CPACK_PACKAGE_CONTACT "${ROVANTA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trip logbook and fuel cost statement of company cars (in Hungarian)")
# Lines under 80 characters, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Rovanta+ keeps the monthly trip logbook (utnyilvantartas) of company cars\n"
       "under Hungarian rules and the fuel cost statement that goes with it:\n"
       "partners, distances and fuel prices per car, hand-made or generated sample\n"
       "months, checks, the reimbursable cost, printouts and PDF. rovanta-cli does\n"
       "the same from the command line. The user interface is Hungarian.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ROVANTA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(ROVANTA_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ROVANTA_HOMEPAGE}")
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Hungarian texts of the standard buttons (Igen, Nem, Mégse).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
