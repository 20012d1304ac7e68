# Fails unless every DLL the program imports is one that docs/system-libraries.md lists under
# "At start". Run with -DOBJDUMP -DPROGRAM -DPAGE.
cmake_minimum_required(VERSION 3.25)
execute_process(
  COMMAND ${OBJDUMP} -p ${PROGRAM}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE dump
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}: ${errors}")
endif()

# The table's rows, from the section's heading to the next one.
file(READ ${PAGE} page)
string(FIND "${page}" "\n## At start" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${PAGE} has no section \"At start\"")
endif()
math(EXPR start "${start} + 1")
string(SUBSTRING "${page}" ${start} -1 section)
string(FIND "${section}" "\n## " end)
string(SUBSTRING "${section}" 0 ${end} section)
string(REGEX MATCHALL "\n\\| `[^`]+` \\|" rows "${section}")
set(listed)
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^\n\\| `([^`]+)` \\|$" "\\1" name "${row}")
  string(TOLOWER "${name}" name)
  list(APPEND listed "${name}")
endforeach()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT listed OR NOT imports)
  message(FATAL_ERROR "no DLLs read: listed \"${listed}\", imported \"${imports}\"")
endif()
set(unlisted)
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${import}")
  string(TOLOWER "${name}" name)
  if(NOT name IN_LIST listed)
    list(APPEND unlisted "${name}")
  endif()
endforeach()
if(unlisted)
  message(FATAL_ERROR "${PROGRAM} imports DLLs that are not known DLLs: ${unlisted}")
endif()
