# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in the build directory, or the target `package`.
set(VELMINE_MAINTAINER "Velm'Mine developers <velmine@example.org>"
    CACHE STRING "The package's maintainer, as name <address>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmine)
set(CPACK_PACKAGE_VENDOR "Velm'Mine developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mine-clearing puzzle game")
# CPack indents these lines under the summary and turns the empty one into Debian's " .".
set(CPACK_PACKAGE_DESCRIPTION "Velm'Mine shows a grid of covered cells that hide bombs. Open a cell with
the left mouse button to see how many bombs lie in the three by three block
around it, the cell itself included, and mark a suspected bomb with the right
button. The first opening is always safe; a game is won by marking every bomb
and no safe cell.

Three preset boards and any other size from the grid dialog; wins are scored
and kept in a high-score table, and a game in progress can be saved on exit.")
set(CPACK_PACKAGE_CONTACT "${VELMINE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The toolkit's runtime libraries, as dpkg-shlibdeps finds them in the program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Directories as Debian wants them, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
