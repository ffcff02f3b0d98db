# Installation and the Debian package: the three programs with a manual
# page each, the two machine hives (the package's own with Pfad and
# Version, and the settings a user changes under /etc), the register
# descriptions under Doc/, a desktop entry, the icon, and the copyright and
# changelog Debian asks for.
include(GNUInstallDirs)
include(${PROJECT_SOURCE_DIR}/cmake/settings_folder.cmake)

set(VOR3_SHARE ${CMAKE_INSTALL_DATADIR}/vor3-config)
set(VOR3_DOC ${CMAKE_INSTALL_DATADIR}/doc/vor3-config)

# A build folder has its own hive, made once, with the build folder as the
# installation folder.
add_custom_target(vor3-build-hive ALL
  COMMAND ${CMAKE_COMMAND} -DHIVE=${CMAKE_BINARY_DIR}/machine.reg -DPFAD=${CMAKE_BINARY_DIR} -DLANGUAGE=1031
          -DVERSION=${PROJECT_VERSION} -DKEEP=ON -P ${PROJECT_SOURCE_DIR}/cmake/machine_hive.cmake
  VERBATIM)

# The changelog's newest entry names the version the build makes.
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog VOR3_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT VOR3_CHANGELOG_TOP MATCHES "^vor3-config \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/debian/changelog has no entry for version ${PROJECT_VERSION} at the top")
endif()

# Debian keeps documentation compressed, with no time stamp inside.
find_program(VOR3_GZIP gzip REQUIRED)
set(VOR3_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${VOR3_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND ${VOR3_GZIP} -9nc ${PROJECT_SOURCE_DIR}/cmake/debian/changelog > ${VOR3_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
  COMMENT "Compressing the changelog")

# Each program's manual page is its --help text.
set(VOR3_MANUALS)
foreach(entry
    "vor3-config|configuration window for the VOR3-UZ485-Uvarod-OR2 room sensor"
    "vor3-cli|read, write and commission the VOR3-UZ485-Uvarod-OR2 room sensor"
    "vor3-sensor-sim|simulated VOR3-UZ485-Uvarod-OR2 room sensor on a pseudo-terminal")
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 summary)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program} -DSUMMARY=${summary}
            -DVERSION=${PROJECT_VERSION} -DPAGE=${page} -P ${PROJECT_SOURCE_DIR}/cmake/manual_page.cmake
    COMMAND ${VOR3_GZIP} -9nf ${page}
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/manual_page.cmake
    COMMENT "Writing the manual page of ${program}"
    VERBATIM)
  list(APPEND VOR3_MANUALS ${page}.gz)
endforeach()
add_custom_target(vor3-package-docs ALL DEPENDS ${VOR3_CHANGELOG_GZ} ${VOR3_MANUALS})

install(TARGETS vor3-config vor3-cli vor3-sensor-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
  "${CMAKE_BINARY_DIR}/Doc/ROZ3 RS485 Modbus CO2, Register MS_1.pdf"
  "${CMAKE_BINARY_DIR}/Doc/ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf"
  DESTINATION ${VOR3_SHARE}/Doc)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/vor3-config.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/vor3-config.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${VOR3_CHANGELOG_GZ}
  DESTINATION ${VOR3_DOC})
install(FILES ${VOR3_MANUALS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The hives name the prefix the files really go to, which a package decides
# only when it is made. The package's hive is replaced by every install;
# the one under the settings folder is written only where there is none, so
# a language chosen stays (for the package, dpkg keeps it as a conffile).
install(CODE "
  include(\"${PROJECT_SOURCE_DIR}/cmake/settings_folder.cmake\")
  vor3_settings_folder(\"\${CMAKE_INSTALL_PREFIX}\" etc)
  set(share \"\${CMAKE_INSTALL_PREFIX}/${VOR3_SHARE}\")
  foreach(hive \"\${share}/machine.reg|-DPFAD=\${share};-DVERSION=${PROJECT_VERSION}\"
               \"\${etc}/vor3-config/machine.reg|-DLANGUAGE=1031;-DKEEP=ON\")
    string(REPLACE \"|\" \";\" hive \"\${hive}\")
    list(POP_FRONT hive file)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${file}\")
    execute_process(COMMAND \"${CMAKE_COMMAND}\" \"-DHIVE=\$ENV{DESTDIR}\${file}\" \${hive}
      -P \"${PROJECT_SOURCE_DIR}/cmake/machine_hive.cmake\" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"cannot write \$ENV{DESTDIR}\${file}\")
    endif()
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${file}\")
  endforeach()
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vor3-config)
set(CPACK_PACKAGE_VENDOR "Vadivoz Vurizozozeroz GmbH")
set(CPACK_PACKAGE_CONTACT "Vadivoz Vurizozozeroz GmbH <info@vadivoz.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration software for the VOR3-UZ485-Uvarod-OR2 room sensor")
# Lines of at most 80 characters, as Debian shows them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Reads and configures the VOR3-UZ485-Uvarod-OR2 room sensor (temperature,\n"
  "humidity, CO2) over Modbus RTU or ASCII on RS-485: a window, a command-line\n"
  "tool for scripts and a simulated sensor to try both without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.vadivoz.example/")
# The libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded
# at run time and so are named here. Help opens its PDF with xdg-open.
find_program(VOR3_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VOR3_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The settings a user changes are a configuration file: dpkg keeps the
# user's copy on upgrade and asks when both the user and the package
# changed it.
vor3_settings_folder(${CPACK_PACKAGING_INSTALL_PREFIX} VOR3_PACKAGE_ETC)
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "${VOR3_PACKAGE_ETC}/vor3-config/machine.reg\n")
# A purge also takes what the program itself made beside the settings
# (the lock file of a set), and so the folder.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles ${PROJECT_SOURCE_DIR}/cmake/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

add_test(NAME Install.KeepsTheUsersSettingsBelowTheSettingsFolderAndEverythingElseBelowThePrefix
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-check
          -P ${PROJECT_SOURCE_DIR}/cmake/check_install.cmake)
add_test(NAME Package.ShipsTheSettingsUnderEtcAsItsOneConffileAndPurgeTakesTheFolder
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSTAGE=${CMAKE_BINARY_DIR}/package-check
          -P ${PROJECT_SOURCE_DIR}/cmake/check_package.cmake)

# The window from the build folder finds its settings and its help there.
add_dependencies(vor3-config vor3-assets vor3-build-hive)
