# The Windows installer, build-win/vor3-config-<version>-setup.exe (target
# `setup`), made with Debian's NSIS from the programs of this build and the
# register descriptions of the Linux build. The window is taken once it is
# built here; until then the installer has the command line alone.
find_program(VOR3_MAKENSIS makensis)
set(VOR3_SETUP_DOCS "${PROJECT_SOURCE_DIR}/build/Doc" CACHE PATH
    "The register descriptions the installer ships (build/Doc of the Linux build)")
if(NOT VOR3_MAKENSIS)
  message(STATUS "No makensis (apt-get install nsis): no target setup")
  return()
endif()

set(programs vor3-cli vor3-sensor-sim)
if(TARGET vor3-config)
  list(APPEND programs vor3-config)
else()
  message(STATUS "The installer is made without the window: there is no target vor3-config")
endif()
set(files)
foreach(program IN LISTS programs)
  list(APPEND files $<TARGET_FILE:${program}>)
endforeach()

# The version as Windows' version resources want it: four numbers.
set(file_version ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
foreach(part PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    string(APPEND file_version .0)
  else()
    string(APPEND file_version .${PROJECT_VERSION_${part}})
  endif()
endforeach()

# A description missing at configure time is named by the staging script.
set(documents)
foreach(name "ROZ3 RS485 Modbus CO2, Register MS_1.pdf" "ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf")
  if(EXISTS "${VOR3_SETUP_DOCS}/${name}")
    list(APPEND documents "${VOR3_SETUP_DOCS}/${name}")
  endif()
endforeach()

set(stage ${CMAKE_BINARY_DIR}/setup)
set(setup_exe ${CMAKE_BINARY_DIR}/vor3-config-${PROJECT_VERSION}-setup.exe)
set(script ${CMAKE_CURRENT_LIST_DIR}/setup.nsi)
add_custom_command(OUTPUT ${setup_exe}
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${stage} -DSTRIP=${CMAKE_STRIP} "-DPROGRAMS=${files}" -DDOCS=${VOR3_SETUP_DOCS}
          -P ${CMAKE_CURRENT_LIST_DIR}/setup_stage.cmake
  COMMAND ${VOR3_MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION} -DFILE_VERSION=${file_version} -DSTAGE=${stage}
          -DOUTFILE=${setup_exe} ${script}
  DEPENDS ${programs} ${script} ${CMAKE_CURRENT_LIST_DIR}/setup_stage.cmake ${documents}
  COMMENT "Making the installer vor3-config-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
add_custom_target(setup DEPENDS ${setup_exe})
