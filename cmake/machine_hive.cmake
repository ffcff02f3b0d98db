# Writes a machine hive holding the values given, under the product key:
#   cmake -DHIVE=FILE [-DPFAD=...] [-DLANGUAGE=...] [-DVERSION=...] [-DKEEP=ON]
#         -P machine_hive.cmake
# With KEEP an existing hive stays as it is, so a language once chosen
# survives the next build or install.
if(KEEP AND EXISTS "${HIVE}")
  return()
endif()
set(text "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2]\n")
foreach(name Pfad Language Version)
  string(TOUPPER "${name}" given)
  if(DEFINED ${given})
    # Text values escape "\" and the quote.
    string(REPLACE "\\" "\\\\" value "${${given}}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(APPEND text "\"${name}\"=\"${value}\"\n")
  endif()
endforeach()
file(WRITE "${HIVE}" "${text}")
