# Typefaces dialog and font sample: the look-up natively, the dialog and the control under Wine.
verselume_test(typeface_search_test SOURCES typeface_search_test.cpp LIBRARIES typeface_search)

if(WIN32)
  verselume_test(font_sample_test SOURCES font_sample_test.cpp
                 LIBRARIES config_ui_test_support resources)

  # The help command goes to the HTML Help stand-in of the configuration dialog's tests.
  verselume_test(fonts_dialog_test SOURCES fonts_dialog_test.cpp
                 LIBRARIES config_ui_test_support settings resources)
endif()

# Prints figures; not part of the test suite.
add_executable(typeface_search_bench bench/typeface_search_bench.cpp)
target_link_libraries(typeface_search_bench PRIVATE typeface_search verselume_options)
