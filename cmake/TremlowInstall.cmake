# The executables' install rule and the Debian package CPack builds from everything installed.
# Executables go to <prefix>/bin and find their data in <prefix>/share/tremlow (FindDataDir).
install(TARGETS tremlow tremlow-cli RUNTIME DESTINATION bin)
# The data (data/CMakeLists.txt) and the desktop files (data/desktop/CMakeLists.txt) install
# themselves.

# The Debian package's revision and its changelog (compressed, as Debian keeps it).
set(TREMLOW_DEBIAN_RELEASE 1)
set(TREMLOW_PACKAGE_VERSION "${PROJECT_VERSION}-${TREMLOW_DEBIAN_RELEASE}")
configure_file(${CMAKE_SOURCE_DIR}/data/desktop/changelog.Debian.in ${CMAKE_BINARY_DIR}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/changelog.Debian > ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian)
add_custom_target(tremlow_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz DESTINATION share/doc/tremlow)

# Debian package: `make package` (cpack -G DEB in the build folder). Its dependencies are read
# from the libraries the executables link (dpkg-shlibdeps); menu, MIME and icon caches are
# refreshed by the triggers of desktop-file-utils, shared-mime-info and hicolor-icon-theme.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tremlow)
set(CPACK_PACKAGE_VENDOR "Orvenic Group")
set(CPACK_PACKAGE_CONTACT "Orvenic Group <support@tremlow.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sociometric research in small groups")
set(CPACK_PACKAGE_DESCRIPTION
  "Tremlow keeps client groups, criteria and investigations in one project\n"
  "file, takes the choices of every member and builds the sociomatrix, group\n"
  "and individual indices, sociograms, target diagrams, reports and blank\n"
  "questionnaires. The package holds the desktop application and the\n"
  "tremlow-cli command-line tools.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TREMLOW_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tremlow.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Wayland sessions run Qt natively with its Wayland plugin (else through XWayland);
# the Home page and Support commands open the browser through xdg-open; Qt's own buttons and
# file dialogs speak the chosen language with qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils, qt6-translations-l10n")
include(CPack)
