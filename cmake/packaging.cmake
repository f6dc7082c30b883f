# The Debian package: `cpack -G DEB` in the build folder makes one package
# with the engine library (and its development files), the command-line tool
# and, when built, the desktop program. dpkg-shlibdeps works out the
# dependencies from the binaries.
set(OXTARN_PACKAGE_MAINTAINER "Oxtarn developers <oxtarn@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME oxtarn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tells a file's kind from its bytes and renames misnamed files")
set(CPACK_PACKAGE_DESCRIPTION
    "Oxtarn identifies files from their content, whatever their names say: the engine library Zarvo32 with its C interface, the command-line tool oxtarn-cli and the desktop program oxtarn.")
set(CPACK_PACKAGE_CONTACT ${OXTARN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${OXTARN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_GENERATOR DEB)
include(CPack)
