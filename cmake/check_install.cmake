# Installs the build into a fresh folder and checks what a package of it
# would hold: the three programs, the machine hive naming the installation
# folder, both register descriptions, the desktop entry and the icon.
#   cmake -DBUILD=<build folder> -DPREFIX=<scratch folder> -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(share "${PREFIX}/share/vor3-config")
foreach(f
    bin/vor3-config bin/vor3-cli bin/vor3-sensor-sim
    share/vor3-config/machine.reg
    "share/vor3-config/Doc/ROZ3 RS485 Modbus CO2, Register MS_1.pdf"
    "share/vor3-config/Doc/ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf"
    share/applications/vor3-config.desktop
    share/icons/hicolor/256x256/apps/vor3-config.png)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

file(READ "${share}/machine.reg" hive)
foreach(line "\"Pfad\"=\"${share}\"" "\"Language\"=\"1031\"" "\"Version\"=\"")
  string(FIND "${hive}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the installed hive lacks ${line}:\n${hive}")
  endif()
endforeach()

file(READ "${PREFIX}/share/applications/vor3-config.desktop" entry)
foreach(line "Exec=vor3-config" "Icon=vor3-config" "Type=Application")
  string(FIND "${entry}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()

# The installed tool finds the installed hive.
execute_process(COMMAND "${PREFIX}/bin/vor3-cli" registry get Pfad
  OUTPUT_VARIABLE pfad RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
if(failed OR NOT pfad STREQUAL share)
  message(FATAL_ERROR "vor3-cli registry get Pfad gave '${pfad}' (status ${failed})")
endif()
file(REMOVE_RECURSE "${PREFIX}")
