# The Debian package: `cpack -G DEB` in the build folder writes
# kestrin6editor_<version>_<arch>.deb holding everything the install() rules put under /usr.

set(K6_MAINTAINER "The KESTRIN 6 EDITOR developers <developers@kestrin6editor.org>")
# The date of this version in the package's change log (RFC 5322, as Debian writes it).
set(K6_RELEASE_DATE "Thu, 10 Dec 2026 00:00:00 +0000")

# Debian wants the copyright and a compressed change log in /usr/share/doc/<package>; the change
# log is written for the project's version, compressed without a name or time so that the same
# sources give the same bytes.
set(K6_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/doc)
configure_file(${CMAKE_SOURCE_DIR}/data/debian/changelog.in ${K6_DOC_BUILD_DIR}/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${K6_DOC_BUILD_DIR}/changelog
    OUTPUT_FILE ${K6_DOC_BUILD_DIR}/changelog.gz
    COMMAND_ERROR_IS_FATAL ANY)
install(FILES data/debian/copyright ${K6_DOC_BUILD_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${K6_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "level editor for the stages of a NES cartridge image")
# The long description: lines under 80 characters, a blank line between paragraphs.
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop level editor for one NES cartridge game. It opens the game's
cartridge image (an iNES file), decodes the level data of its sixteen stages
and shows it on five tabs of one Japanese-language window: map sets, 32x32
chips, 16x16 chips, palettes and objects.

Changes are written back when you save; bytes no editor touched are saved
exactly as they were read. A command line exports maps and chip sheets as
pictures, makes and applies patches and checks images, without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed directories get the usual modes whatever the umask of whoever builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The debugging symbols stay in the build folder.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${K6_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library packages the program links against, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
