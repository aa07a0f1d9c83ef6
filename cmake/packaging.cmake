# `cpack` after a build: on Windows an NSIS installer (and a zip) of the
# programs with what windeployqt put beside them; elsewhere a tarball.
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
endif()
include(CPack)
