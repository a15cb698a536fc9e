# cmake --install: the program under lib/fieldcast with a launcher in bin that
# gives each user a settings folder, the README and an example service unit.
# CPack turns the same into a Debian package whose dependencies come from the
# libraries the program links (dpkg-shlibdeps).
include(GNUInstallDirs)
if(NOT FIELDCAST_FUZZ)
  install(TARGETS fieldcast RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/fieldcast)
  install(PROGRAMS packaging/fieldcast-launcher.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME fieldcast)
endif()
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/fieldcast)
if(EXISTS ${CMAKE_SOURCE_DIR}/packaging/fieldcast.service)
  install(FILES packaging/fieldcast.service DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/fieldcast/examples)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fieldcast)
set(CPACK_PACKAGE_VENDOR "Fieldcast")
set(CPACK_PACKAGE_CONTACT "Fieldcast developers <fieldcast@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "NTRIP client that feeds correction streams to a GNSS receiver")
set(CPACK_PACKAGE_INSTALL_DIRECTORY fieldcast)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
