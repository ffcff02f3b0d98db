# Installation and the Debian package: the three programs, the machine hive
# naming the installation folder, the register descriptions under Doc/, a
# desktop entry and the icon.
include(GNUInstallDirs)

set(VOR3_SHARE ${CMAKE_INSTALL_DATADIR}/vor3-config)

# A build folder has its own hive, made once, with the build folder as the
# installation folder.
add_custom_target(vor3-build-hive ALL
  COMMAND ${CMAKE_COMMAND} -DHIVE=${CMAKE_BINARY_DIR}/machine.reg -DPFAD=${CMAKE_BINARY_DIR}
          -DVERSION=${PROJECT_VERSION} -DKEEP=ON -P ${PROJECT_SOURCE_DIR}/cmake/machine_hive.cmake
  VERBATIM)

install(TARGETS vor3-config vor3-cli vor3-sensor-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
  "${CMAKE_BINARY_DIR}/Doc/ROZ3 RS485 Modbus CO2, Register MS_1.pdf"
  "${CMAKE_BINARY_DIR}/Doc/ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf"
  DESTINATION ${VOR3_SHARE}/Doc)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/vor3-config.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/vor3-config.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vor3-config)

# The installed hive names the prefix the files really go to, which a
# package decides only when it is made.
install(CODE "
  set(hive \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VOR3_SHARE}/machine.reg\")
  message(STATUS \"Installing: \${hive}\")
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -DHIVE=\${hive}
    \"-DPFAD=\${CMAKE_INSTALL_PREFIX}/${VOR3_SHARE}\" -DVERSION=${PROJECT_VERSION}
    -P \"${PROJECT_SOURCE_DIR}/cmake/machine_hive.cmake\" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR \"cannot write \${hive}\")
  endif()
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/${VOR3_SHARE}/machine.reg\")
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vor3-config)
set(CPACK_PACKAGE_VENDOR "Vadivoz Vurizozozeroz GmbH")
set(CPACK_PACKAGE_CONTACT "Vadivoz Vurizozozeroz GmbH <info@vadivoz.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration software for the VOR3-UZ485-Uvarod-OR2 room sensor")
set(CPACK_PACKAGE_DESCRIPTION
  "Reads and configures the VOR3-UZ485-Uvarod-OR2 room sensor (temperature, humidity, CO2) over\
 Modbus RTU or ASCII on RS-485: a window, a command-line tool and a simulated sensor.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.vadivoz.example/")
# The libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded
# at run time and so are named here.
find_program(VOR3_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VOR3_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)

add_test(NAME Install.HoldsTheProgramsTheHiveTheDocumentsTheDesktopEntryAndTheIcon
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-check
          -P ${PROJECT_SOURCE_DIR}/cmake/check_install.cmake)

# The window from the build folder finds its settings and its help there.
add_dependencies(vor3-config vor3-assets vor3-build-hive)
