# Configuration dialog, About box, error box and help launcher, under Wine with the program's
# own templates and strings; the compiled help file's topics.
if(WIN32)
  verselume_test(config_dialog_test
    SOURCES config_dialog_test.cpp
    LIBRARIES config_ui_test_support resources saver_process_support)
  # Every dialog closed every way.
  verselume_test(dialog_closing_test
    SOURCES dialog_closing_test.cpp
    LIBRARIES config_ui_test_support resources)
  verselume_test(error_box_test
    SOURCES error_box_test.cpp
    LIBRARIES config_ui)

  # Every dialog at 100 %, and in processes of their own at 150 % and 200 %.
  verselume_test(dialog_scale_test SOURCES dialog_scale_test.cpp
                 LIBRARIES config_ui_test_support saver_process_support resources)

  # The stand-in HTML Help control: HtmlHelpA by ordinal 14, as the system's exports it.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(HTML_HELP_SYMBOL HtmlHelpA@16)
  else()
    set(HTML_HELP_SYMBOL HtmlHelpA)
  endif()
  configure_file(help_stand_in/html_help_stand_in.def.in
                 ${CMAKE_CURRENT_BINARY_DIR}/html_help_stand_in.def @ONLY)
  add_library(html_help_stand_in SHARED help_stand_in/html_help_stand_in.cpp
                                        ${CMAKE_CURRENT_BINARY_DIR}/html_help_stand_in.def)
  set_target_properties(html_help_stand_in PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY
                                                                ${CMAKE_CURRENT_BINARY_DIR})
  target_link_libraries(html_help_stand_in PRIVATE verselume_options)

  verselume_test(help_launcher_test
    SOURCES help_launcher_test.cpp dialog_help_test.cpp
    LIBRARIES config_ui_test_support resources)
  add_dependencies(help_launcher_test html_help_stand_in)

  # The program itself in configuration mode.
  verselume_test(config_launch_test
    SOURCES config_launch_test.cpp
    LIBRARIES saver_process_support resource_ids comctl32)
  target_compile_definitions(config_launch_test PRIVATE VERSELUME_SCR="Z:$<TARGET_FILE:Verselume>"
                                                        VERSELUME_SAMPLES="Z:${CMAKE_SOURCE_DIR}/installer")
  add_dependencies(config_launch_test Verselume)
endif()

# The three topics the program opens are in the compiled help file.
add_test(NAME help_file_topics
  COMMAND ${CMAKE_COMMAND} -DCHMLS=${VERSELUME_CHMLS} -DHELP_FILE=${VERSELUME_HELP_FILE}
          "-DTOPICS=${VERSELUME_HELP_TOPICS}" -P ${CMAKE_SOURCE_DIR}/help/check_topics.cmake)
