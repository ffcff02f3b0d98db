# Stages the install as the package is made (prefix /usr below DESTDIR) and
# checks the package's conffile list: it names the settings under /etc, and
# every file the package puts below /etc is on it, so dpkg keeps a user's
# settings on upgrade. The package's hive names /usr/share/vor3-config.
#   cmake -DBUILD=<build folder> -DSTAGE=<scratch folder> -P check_package.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "DESTDIR=${STAGE}" "${CMAKE_COMMAND}" --install "${BUILD}" --prefix /usr
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install with DESTDIR failed")
endif()

include("${BUILD}/CPackConfig.cmake")
set(conffiles)
foreach(extra ${CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA})
  get_filename_component(name "${extra}" NAME)
  if(name STREQUAL "conffiles")
    file(STRINGS "${extra}" conffiles)
  endif()
endforeach()
if(NOT conffiles STREQUAL "/etc/vor3-config/machine.reg")
  message(FATAL_ERROR "the package's conffiles are '${conffiles}'")
endif()
file(GLOB_RECURSE under_etc RELATIVE "${STAGE}" "${STAGE}/etc/*")
if(NOT "/${under_etc}" STREQUAL "${conffiles}")
  message(FATAL_ERROR "below /etc the package holds '${under_etc}', its conffiles are '${conffiles}'")
endif()
file(READ "${STAGE}/etc/vor3-config/machine.reg" settings)
file(READ "${STAGE}/usr/share/vor3-config/machine.reg" package_hive)
if(NOT settings MATCHES "\"Language\"=\"1031\"" OR NOT package_hive MATCHES "\"Pfad\"=\"/usr/share/vor3-config\"")
  message(FATAL_ERROR "the hives as packaged:\n${settings}\n${package_hive}")
endif()
file(REMOVE_RECURSE "${STAGE}")
