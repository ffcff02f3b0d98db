# Installs the build into a fresh prefix as a user would (cmake --install)
# and checks what lands where: the programs with their manual pages, the
# package's hive with Pfad and Version, the language under <prefix>/etc, the
# register descriptions, the desktop entry, the icon, the copyright and the
# changelog. Then the installed vor3-cli reads each setting from its file
# and writes only below the settings folder, and installing again keeps the
# language chosen.
#   cmake -DBUILD=<build folder> -DPREFIX=<scratch folder> -P check_install.cmake
function(install_build)
  execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
    RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "cmake --install failed")
  endif()
endfunction()

function(expect_in file)
  file(READ "${PREFIX}/${file}" text)
  foreach(line ${ARGN})
    string(FIND "${text}" "${line}" at)
    if(at LESS 0)
      message(FATAL_ERROR "${file} lacks ${line}:\n${text}")
    endif()
  endforeach()
endfunction()

function(expect_not_in file line)
  file(READ "${PREFIX}/${file}" text)
  string(FIND "${text}" "${line}" at)
  if(at GREATER_EQUAL 0)
    message(FATAL_ERROR "${file} holds ${line}:\n${text}")
  endif()
endfunction()

# vor3-cli as installed, with a configuration folder of its own.
function(cli expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "XDG_CONFIG_HOME=${PREFIX}/config"
    "${PREFIX}/bin/vor3-cli" registry ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed OR NOT out STREQUAL expected)
    message(FATAL_ERROR "vor3-cli registry ${ARGN} gave '${out}' (status ${failed}) ${err}, not '${expected}'")
  endif()
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
install_build()

set(share "share/vor3-config")
set(installed
    bin/vor3-config bin/vor3-cli bin/vor3-sensor-sim
    ${share}/machine.reg etc/vor3-config/machine.reg
    "${share}/Doc/ROZ3 RS485 Modbus CO2, Register MS_1.pdf"
    "${share}/Doc/ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf"
    share/applications/vor3-config.desktop
    share/icons/hicolor/256x256/apps/vor3-config.png
    share/doc/vor3-config/copyright share/doc/vor3-config/changelog.gz
    share/man/man1/vor3-config.1.gz share/man/man1/vor3-cli.1.gz share/man/man1/vor3-sensor-sim.1.gz)
foreach(f ${installed})
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

expect_in(${share}/machine.reg "\"Pfad\"=\"${PREFIX}/${share}\"" "\"Version\"=\"")
expect_not_in(${share}/machine.reg "\"Language\"")
expect_in(etc/vor3-config/machine.reg "\"Language\"=\"1031\"")
expect_not_in(etc/vor3-config/machine.reg "\"Pfad\"")
expect_in(share/applications/vor3-config.desktop "Exec=vor3-config" "Icon=vor3-config" "Type=Application")

file(READ "${PREFIX}/${share}/machine.reg" package_hive)
cli("${PREFIX}/${share}" get Pfad)
cli("1031" get Language)
cli("" set Language 1033)
cli("1033" get Language)
expect_in(etc/vor3-config/machine.reg "\"Language\"=\"1033\"")
file(READ "${PREFIX}/${share}/machine.reg" after)
if(NOT after STREQUAL package_hive)
  message(FATAL_ERROR "registry set changed the package's hive:\n${after}")
endif()
file(GLOB programs RELATIVE "${PREFIX}/bin" "${PREFIX}/bin/*")
if(NOT programs STREQUAL "vor3-cli;vor3-config;vor3-sensor-sim")
  message(FATAL_ERROR "bin/ holds ${programs}")
endif()

install_build()
cli("1033" get Language)
cli("${PREFIX}/${share}" get Pfad)
file(REMOVE_RECURSE "${PREFIX}")
