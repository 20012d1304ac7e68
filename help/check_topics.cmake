# Lists a compiled help file with chmls and fails unless every topic the program opens is in it.
# Run with -DCHMLS -DHELP_FILE -DTOPICS=<page;page;...> (the help-file test), or included with
# those variables set (the build).
if(NOT TOPICS)
  message(FATAL_ERROR "no topics to look for")
endif()
execute_process(
  COMMAND ${CHMLS} list ${HELP_FILE}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "chmls cannot list ${HELP_FILE}: ${errors}")
endif()
foreach(topic IN LISTS TOPICS)
  string(FIND "${listing}\n" " /${topic}\n" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "${topic} is not in ${HELP_FILE}:\n${listing}")
  endif()
endforeach()
