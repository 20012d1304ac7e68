# The scripts of tools/ pass shellcheck (with tools/.shellcheckrc), checked by the native build.
if(NOT WIN32)
  find_program(VERSELUME_SHELLCHECK shellcheck REQUIRED)
  file(GLOB tool_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*)
  list(FILTER tool_scripts EXCLUDE REGEX "/\\.[^/]*$")
  add_test(NAME tools_shellcheck COMMAND ${VERSELUME_SHELLCHECK} ${tool_scripts}
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endif()
