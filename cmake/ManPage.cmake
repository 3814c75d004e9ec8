# Writes the man page marquill.1 from the program's own --help text (the overview, then each
# command's help), so the two never disagree.
#   cmake -DMARQUILL=path/to/marquill -DVERSION=1.2.3 -DOUTPUT=marquill.1 -P ManPage.cmake
function(help_of out_var)
  execute_process(COMMAND "${MARQUILL}" ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${MARQUILL} ${ARGN} --help failed (${rc})")
  endif()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# roff reads a backslash as an escape and a leading dot or quote as a request.
function(as_roff out_var text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

help_of(overview)
# The command names: the first word of each line of the Subcommands list.
string(REGEX MATCH "Subcommands:\n(.*)" listing "${overview}")
string(REGEX REPLACE "\n\n.*" "" listing "${CMAKE_MATCH_1}")
string(REPLACE "\n" ";" listing "${listing}")
set(commands)
foreach(line IN LISTS listing)
  if(line MATCHES "^  ([a-z][a-z0-9-]*) ")
    list(APPEND commands "${CMAKE_MATCH_1}")
  endif()
endforeach()

as_roff(overview_roff "${overview}")
set(page ".TH MARQUILL 1 \"\" \"marquill ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nmarquill \\- tools for Visual Basic 6 source code\n")
string(APPEND page ".SH SYNOPSIS\n.B marquill\n.I COMMAND\n[\\fIOPTIONS\\fR] \\fITARGET\\fR...\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${overview_roff}.fi\n.SH COMMANDS\n")
foreach(command IN LISTS commands)
  help_of(text ${command})
  as_roff(text "${text}")
  string(APPEND page ".SS ${command}\n.nf\n${text}.fi\n")
endforeach()
string(APPEND page ".SH SEE ALSO\nThe help page, /usr/share/doc/marquill/index.htm.\n")
file(WRITE "${OUTPUT}" "${page}")
