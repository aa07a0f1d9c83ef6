# `cpack` after a build: on Windows an NSIS installer (and a zip) of the
# programs with what windeployqt put beside them; elsewhere a tarball, and a
# Debian package where dpkg-shlibdeps is (dpkg-dev).
set(CPACK_PACKAGE_NAME "Velarin")
set(CPACK_PACKAGE_VENDOR "Velarin")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Diagnostic tool for motorcycle ECUs over a K-line adapter")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Velarin")
# Start menu entry: program name, then caption.
set(CPACK_PACKAGE_EXECUTABLES "velarin" "Velarin")
if(WIN32)
  set(CPACK_GENERATOR "NSIS;ZIP")
  # The settings file lives beside the program, so the program's folder must be
  # writable by its user: a per-user folder rather than Program Files.
  set(CPACK_NSIS_INSTALL_ROOT "$LOCALAPPDATA\\\\Programs")
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY "${CMAKE_INSTALL_BINDIR}")
  set(CPACK_NSIS_DISPLAY_NAME "Velarin")
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
else()
  set(CPACK_GENERATOR "TGZ")
  find_program(VELARIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(VELARIN_DPKG_SHLIBDEPS)
    list(APPEND CPACK_GENERATOR "DEB")
  endif()
  # A .deb that installs under /usr: the desktop finds the entry, icon and metainfo.
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
  set(CPACK_DEBIAN_PACKAGE_NAME "velarin")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velarin developers <velarin@localhost>")
  set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velarin.invalid/")
  # The libraries the programs link (Qt, udev, libstdc++) come from dpkg-shlibdeps;
  # the Qt platform plugins are loaded at run time, so no linker sees them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
endif()
include(CPack)
