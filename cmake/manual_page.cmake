# Writes a program's manual page from its --help text, which it shows as
# it stands (the texts are laid out for a terminal already):
#   cmake -DPROGRAM=<path> -DNAME=<name> -DSUMMARY=<one line> -DVERSION=<v>
#         -DPAGE=<file.1> -P manual_page.cmake
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE failed)
if(failed OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help gave no text (status ${failed})")
endif()
# roff: a backslash is written \e, a minus \- (so that options copy as
# typed), and a line starting with a dot or a quote would be a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REPLACE "-" "\\-" name "${NAME}")
string(TOUPPER "${NAME}" title)
file(WRITE "${PAGE}" ".TH ${title} 1 \"\" \"vor3-config ${VERSION}\" \"User Commands\"
.SH NAME
${name} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}.fi
.SH SEE ALSO
vor3\\-config(1), vor3\\-cli(1), vor3\\-sensor\\-sim(1)
")
