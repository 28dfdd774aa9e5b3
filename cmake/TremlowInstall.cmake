# The executables' install rule and the Debian package CPack builds from everything installed.
# Executables go to <prefix>/bin and find their data in <prefix>/share/tremlow (FindDataDir).
install(TARGETS tremlow tremlow-cli RUNTIME DESTINATION bin)
# The data (data/CMakeLists.txt) and the desktop files (data/desktop/CMakeLists.txt) install
# themselves.

# Debian package: `make package` (cpack -G DEB in the build folder). Its dependencies are read
# from the libraries the executables link (dpkg-shlibdeps); menu, MIME and icon caches are
# refreshed by the triggers of desktop-file-utils, shared-mime-info and hicolor-icon-theme.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tremlow)
set(CPACK_PACKAGE_VENDOR "Orvenic Group")
set(CPACK_PACKAGE_CONTACT "Orvenic Group <support@tremlow.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sociometric research in small groups")
set(CPACK_PACKAGE_DESCRIPTION
  "Tremlow keeps client groups, criteria and investigations in one project file, takes the\n"
  "choices of every member and builds the sociomatrix, group and individual indices,\n"
  "sociograms, target diagrams, reports and blank questionnaires. The package holds the\n"
  "desktop application and the tremlow-cli command-line tools.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tremlow.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Wayland sessions run Qt natively with its Wayland plugin (else through XWayland);
# the Home page and Support commands open the browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
include(CPack)
