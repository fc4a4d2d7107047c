# The Debian package made by cpack from a build's install rules: the
# program, the manual, the desktop entry, the icons and the section file's
# MIME type (scripts/package.sh makes it from a Release build).
# Included last by the top-level CMakeLists, after every install() rule.
#
# The desktop's databases (MIME types, desktop entries, icon caches) are
# brought up to date by the triggers of the Debian packages that own them,
# so the package needs no maintainer scripts.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lithoprism)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lithoprism developers")
set(CPACK_PACKAGE_CONTACT "Lithoprism developers <developers@lithoprism.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for two-dimensional geophysical cross-sections")
set(CPACK_PACKAGE_DESCRIPTION
    "Lithoprism traces the geological bodies of a scanned section picture as\n"
    "polygons of shared nodes, gives each its resistivity and polarizability,\n"
    "overlays well logs and saves the section as a .sec file. It models what\n"
    "a resistivity survey over the section would measure and inverts measured\n"
    "resistivity and induced-polarization data, in its window or on the\n"
    "command line.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The installed program without symbols or debugging sections (a
# RelWithDebInfo build's program shrinks twenty times).
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Where dpkg-shlibdeps is installed (dpkg-dev), the dependencies are the
# packages that hold the shared libraries the program links, each with the
# version it needs; elsewhere they are named here (Debian 12's names).
find_program(LP_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LP_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libc6, libstdc++6, libgcc-s1, libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, libqt6svg6, \
libqt6multimedia6, libgmsh4.8, libcholmod3, libjpeg62-turbo, libx11-6")
endif()

include(CPack)
