# Installation and the Debian package. `cmake --install BUILD` puts Setup and
# orbdeck under bin and the example media under share/orbmenuhost/examples;
# `cmake --build BUILD --target package` makes the .deb, whose dependencies
# dpkg-shlibdeps computes from the shared libraries that the programs link.
include(GNUInstallDirs)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/orbmenuhost/examples USE_SOURCE_PERMISSIONS)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbmenuhost)
set(CPACK_PACKAGE_CONTACT "OrbMenuHost maintainers <maintainers@orbmenuhost.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CD menu host (Setup) and orbdeck, the tool for preparing its media")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
