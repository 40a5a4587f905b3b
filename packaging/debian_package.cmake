# The Debian package: "cpack -G DEB" in the build folder (scripts/package-test.sh builds,
# installs and checks it). The runtime dependencies come from dpkg-shlibdeps; the Qt platform
# plugins and the report fonts are not linked, so they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kenvoplat)
set(CPACK_PACKAGE_VENDOR Kenvotec)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KenvoPlat maintainers <maintainers@users.noreply.c-seed-2e2ec68d.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measurement program of a balance (posturography) force platform")
# CPack puts the summary first and indents the lines itself; an empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "KenvoPlat records stance, target hitting and driving tests on a force
platform with four or three load cells connected by USB, shows the centre
of pressure live and evaluates the attempts: sway parameters, summary
tables, stabilogram diffusion and half-wave analysis, replay, printed
reports and spreadsheet export.

The package holds the windowed program kenvoplat, the command-line tool
kenvoplat-cli for scripted evaluations and the platform emulator
kenvoplat-emulator, and a udev rule that gives the logged-in user access
to the platforms' USB serial adapters.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
