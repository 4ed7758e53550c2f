# The Debian package: the three programs, the desktop entry with its icon and the README.
# Runtime dependencies are computed from the binaries by dpkg-shlibdeps.
include(GNUInstallDirs)
foreach(program veltrano veltrano-cli veltrano-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltrano.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltrano.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ECU tuning and diagnosis over the K-line")
set(CPACK_PACKAGE_DESCRIPTION
  "Veltrano tunes and diagnoses a petrol engine ECU from a laptop in the running car:\n\
firmware images with calibration grids, KWP2000 over the K-line, live data, table writes\n\
to the ECU, a wideband lambda reader, self-learning of the fuel-fill correction and a CSV\n\
session log. Includes veltrano-cli for scripts and veltrano-sim, a simulated car.")
set(CPACK_PACKAGE_CONTACT "Veltrano developers <veltrano@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_STRIP_FILES ON)
include(CPack)
