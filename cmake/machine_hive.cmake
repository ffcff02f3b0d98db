# Writes a machine hive naming the installation folder, the language and
# the version. Run as a script: cmake -DHIVE=... -DPFAD=... -DVERSION=...
# [-DKEEP=ON] -P machine_hive.cmake. With KEEP, an existing hive stays as
# it is, so a language chosen in a build folder survives the next build.
if(KEEP AND EXISTS "${HIVE}")
  return()
endif()
# Text values escape "\" and the quote.
string(REPLACE "\\" "\\\\" VOR3_HIVE_PFAD "${PFAD}")
string(REPLACE "\"" "\\\"" VOR3_HIVE_PFAD "${VOR3_HIVE_PFAD}")
set(VOR3_HIVE_LANGUAGE 1031)
set(VOR3_HIVE_VERSION "${VERSION}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/machine.reg.in" "${HIVE}" @ONLY)
