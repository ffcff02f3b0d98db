# Gathers what the installer ships into one folder: the programs stripped,
# and the register descriptions the Linux build writes (vor3-assets).
#   cmake -DSTAGE=DIR -DSTRIP=TOOL -DPROGRAMS="a.exe;b.exe" -DDOCS=DIR -P setup_stage.cmake
set(documents "ROZ3 RS485 Modbus CO2, Register MS_1.pdf" "ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf")
foreach(document IN LISTS documents)
  if(NOT EXISTS "${DOCS}/${document}")
    message(FATAL_ERROR "${DOCS}/${document} is missing: the Linux build writes it (tools/setup.sh vor3-assets), "
                        "or name another folder with -DVOR3_SETUP_DOCS=")
  endif()
endforeach()
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/Doc")
foreach(program IN LISTS PROGRAMS)
  get_filename_component(name "${program}" NAME)
  execute_process(COMMAND "${STRIP}" -o "${STAGE}/${name}" "${program}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${program}")
  endif()
endforeach()
foreach(document IN LISTS documents)
  file(COPY "${DOCS}/${document}" DESTINATION "${STAGE}/Doc")
endforeach()
