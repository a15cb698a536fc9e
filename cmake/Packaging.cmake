# cmake --install: the program under lib/fieldcast with a launcher in bin that
# gives each user a settings folder, the manual page, the README and an
# example service unit, and the system-wide defaults in /etc/fieldcast.
# CPack turns the same into a Debian package whose dependencies come from the
# libraries the program links (dpkg-shlibdeps).
include(GNUInstallDirs)
# A correction service builds its package with its own GNSS.ini and
# CorvoNet.ini: -DFIELDCAST_DEFAULTS_DIR=/path/to/its/folder.
set(FIELDCAST_DEFAULTS_DIR ${CMAKE_SOURCE_DIR}/packaging/defaults CACHE PATH
    "Folder with the GNSS.ini and CorvoNet.ini installed in /etc/fieldcast")
set(doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/fieldcast)
if(NOT FIELDCAST_FUZZ)
  install(TARGETS fieldcast RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/fieldcast)
  install(PROGRAMS packaging/fieldcast-launcher.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME fieldcast)
  # Debian wants the manual page and the changelog compressed, reproducibly
  # (gzip -n: no name or time stamp inside).
  configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/fieldcast.1.gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/fieldcast.1 > ${CMAKE_BINARY_DIR}/packaging/fieldcast.1.gz
    COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DEPENDS packaging/fieldcast.1 ${CMAKE_BINARY_DIR}/packaging/changelog
    VERBATIM)
  add_custom_target(fieldcast_package_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/fieldcast.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/fieldcast.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz packaging/copyright DESTINATION ${doc})
  # Fixed, like the launcher that reads them; `cmake --install` with DESTDIR
  # puts them under it.
  install(FILES ${FIELDCAST_DEFAULTS_DIR}/GNSS.ini ${FIELDCAST_DEFAULTS_DIR}/CorvoNet.ini DESTINATION /etc/fieldcast)
endif()
install(FILES README.md DESTINATION ${doc})
if(EXISTS ${CMAKE_SOURCE_DIR}/packaging/fieldcast.service)
  install(FILES packaging/fieldcast.service DESTINATION ${doc}/examples)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fieldcast)
set(CPACK_PACKAGE_VENDOR "Fieldcast")
set(CPACK_PACKAGE_CONTACT "Fieldcast developers <fieldcast@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "NTRIP client that feeds correction streams to a GNSS receiver")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Fieldcast connects to an NTRIP caster, downloads its source table, lets
the user pick a network and a stream, and writes the correction stream byte
for byte to a GNSS receiver on a serial port. It runs in a terminal or
as a service.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY fieldcast)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# OpenSSL is loaded only for https:// casters (dlopen), so dpkg-shlibdeps
# cannot see it: named here (its package took the t64 name in trixie).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libssl3 | libssl3t64")
set(CPACK_STRIP_FILES ON)
# An administrator's edits of the defaults survive upgrades.
file(WRITE ${CMAKE_BINARY_DIR}/packaging/conffiles "/etc/fieldcast/GNSS.ini\n/etc/fieldcast/CorvoNet.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
# cpack builds what the package holds and nothing more: not the whole tree
# (the tests take far longer than the program).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_INSTALL_COMMANDS "${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target fieldcast fieldcast_package_docs")
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Fieldcast;ALL;/")
include(CPack)
