# `cpack -G DEB` in a build folder: the installed files as a Debian package. The library
# dependencies are read from the executables by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rovanta)
set(CPACK_PACKAGE_VENDOR "Rovanta")
set(CPACK_PACKAGE_CONTACT "Rovanta <${ROVANTA_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trip logbook and fuel cost statement of company cars (in Hungarian)")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Rovanta+ keeps the monthly trip logbook (utnyilvantartas) of company cars under Hungarian rules\n"
       "and the fuel cost statement that goes with it: partners, distances and fuel prices per car,\n"
       "hand-made or generated sample months, checks, the reimbursable cost, printouts and PDF.\n"
       "rovanta-cli does the same from the command line. The user interface is Hungarian.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Rovanta <${ROVANTA_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ROVANTA_WEB_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Hungarian texts of the standard buttons (Igen, Nem, Mégse).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
