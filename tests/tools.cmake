# The scripts of tools/ (with tools/.shellcheckrc) and the release test pass shellcheck, checked
# by the native build.
if(NOT WIN32)
  find_program(VERSELUME_SHELLCHECK shellcheck REQUIRED)
  file(GLOB tool_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*)
  list(FILTER tool_scripts EXCLUDE REGEX "/\\.[^/]*$")
  add_test(NAME tools_shellcheck COMMAND ${VERSELUME_SHELLCHECK} --external-sources ${tool_scripts}
                                         ${CMAKE_SOURCE_DIR}/tests/release_test
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endif()
