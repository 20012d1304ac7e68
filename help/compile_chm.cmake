# Compiles the help project into OUTPUT and checks it; called by the build with
# -DCHMCMD -DCHMLS -DPROJECT_FILE -DOUTPUT -DWORK_DIR -DTOPICS=<page;page;...> -DPYTHON
# -DEPOCH_FILE (the release's time, which replaces the clock chmcmd writes).
# chmcmd writes into its current folder and reads the pages from the project's folder. It only
# warns about a page missing from disk, so every page the project lists is checked first, and
# the finished file must hold every topic the program opens. The result replaces OUTPUT only
# when all went well, so a failed build never leaves a file that looks up to date.
get_filename_component(source_dir ${PROJECT_FILE} DIRECTORY)
get_filename_component(project_name ${PROJECT_FILE} NAME_WE)

# Pages listed under [FILES] must all exist.
file(STRINGS ${PROJECT_FILE} project_lines)
set(in_files FALSE)
foreach(line IN LISTS project_lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^\\[.*\\]$")
    set(in_files FALSE)
    if(line STREQUAL "[FILES]")
      set(in_files TRUE)
    endif()
  elseif(in_files AND NOT line STREQUAL "" AND NOT line MATCHES "^;")
    if(NOT EXISTS ${source_dir}/${line})
      message(FATAL_ERROR "help page missing: ${source_dir}/${line}")
    endif()
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(
  COMMAND ${CHMCMD} ${PROJECT_FILE}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
set(compiled ${WORK_DIR}/${project_name}.chm)
if(NOT result EQUAL 0 OR NOT EXISTS ${compiled})
  message(FATAL_ERROR "chmcmd failed (${result}):\n${output}")
endif()
if(output MATCHES "Warning|Error")
  message(FATAL_ERROR "chmcmd reported problems:\n${output}")
endif()

set(HELP_FILE ${compiled})
include(${CMAKE_CURRENT_LIST_DIR}/check_topics.cmake)

file(STRINGS ${EPOCH_FILE} epoch LIMIT_COUNT 1)
execute_process(COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/set_chm_time.py ${compiled} ${epoch}
                RESULT_VARIABLE result ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot set the help file's time (${result}): ${output}")
endif()

file(COPY_FILE ${compiled} ${OUTPUT})
file(REMOVE_RECURSE ${WORK_DIR})
