verselume_test(texts_rules_test SOURCES texts_rules_test.cpp LIBRARIES texts_core)

if(WIN32)
  # A stand-in for the HTML Help control, registered by the help tests in place of the system's.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(STAND_IN_HTML_HELP StandInHtmlHelp@16)
  else()
    set(STAND_IN_HTML_HELP StandInHtmlHelp)
  endif()
  configure_file(help_stand_in.def.in ${CMAKE_CURRENT_BINARY_DIR}/help_stand_in.def @ONLY)
  add_library(help_stand_in SHARED help_stand_in.cpp
                                   ${CMAKE_CURRENT_BINARY_DIR}/help_stand_in.def)
  set_target_properties(help_stand_in PROPERTIES PREFIX "")
  target_link_libraries(help_stand_in PRIVATE verselume_options)

  verselume_test(texts_dialog_test
    SOURCES texts_dialog_test.cpp texts_dialog_faults_test.cpp texts_dialog_help_test.cpp
            texts_dialog_harness.cpp
    LIBRARIES config_ui resources)
  add_dependencies(texts_dialog_test help_stand_in)
endif()

# Prints figures; run by tools/bench, not by the test suite.
if(WIN32)
  add_executable(texts_dialog_bench bench/texts_dialog_bench.cpp)
  target_link_libraries(texts_dialog_bench PRIVATE config_ui resources)
endif()
