# Typefaces dialog and font sample: the look-up natively, the dialog and the control under Wine.
verselume_test(typeface_search_test SOURCES typeface_search_test.cpp LIBRARIES fonts_core)

if(WIN32)
  add_library(fonts_test_support STATIC fonts_test_support.cpp)
  target_link_libraries(fonts_test_support PUBLIC config_ui test_support)

  verselume_test(font_sample_test SOURCES font_sample_test.cpp
                 LIBRARIES fonts_test_support config_ui)

  # Stand-in for the HTML Help control, beside the test program that loads it. On i686 the
  # stdcall entry point carries its argument size in its symbol.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(HTML_HELP_SYMBOL "=HtmlHelpA@16")
  else()
    set(HTML_HELP_SYMBOL "")
  endif()
  configure_file(fonts_help_server.def.in ${CMAKE_CURRENT_BINARY_DIR}/fonts_help_server.def @ONLY)
  add_library(fonts_help_server SHARED fonts_help_server.cpp
                                       ${CMAKE_CURRENT_BINARY_DIR}/fonts_help_server.def)
  set_target_properties(fonts_help_server PROPERTIES PREFIX "")
  target_link_libraries(fonts_help_server PRIVATE verselume_options)

  verselume_test(fonts_dialog_test SOURCES fonts_dialog_test.cpp
                 LIBRARIES fonts_test_support config_ui settings resources)
  add_dependencies(fonts_dialog_test fonts_help_server)
endif()

# Prints figures; not part of the test suite.
add_executable(typeface_search_bench bench/typeface_search_bench.cpp)
target_link_libraries(typeface_search_bench PRIVATE fonts_core verselume_options)
