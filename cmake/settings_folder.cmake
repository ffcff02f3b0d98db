# The folder of machine-wide settings for an installation prefix, where the
# installed program looks for them (app::settings_folder): /etc for /usr,
# /etc/opt/NAME for /opt/NAME, else <prefix>/etc.
function(vor3_settings_folder prefix out)
  string(REGEX REPLACE "(.)/+$" "\\1" prefix "${prefix}")
  if(prefix STREQUAL "/usr" OR prefix STREQUAL "/")
    set(folder /etc)
  elseif(prefix MATCHES "^/opt/.")
    set(folder "/etc${prefix}")
  else()
    set(folder "${prefix}/etc")
  endif()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()
