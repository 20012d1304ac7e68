# Verse display: the portable core natively and under Wine, the drawing thread and the saver
# window under Wine with real GDI.
foreach(test display_power_test random_test saver_clock_test verse_pick_test verse_layout_test)
  verselume_test(${test} SOURCES ${test}.cpp LIBRARIES display_core)
endforeach()

if(WIN32)
  foreach(test verse_draw_test saver_window_test)
    verselume_test(${test} SOURCES ${test}.cpp LIBRARIES display)
  endforeach()
endif()

# The soak: its own CTest test, with Wine's heap checking on and any heap error a failure.
if(WIN32)
  add_executable(display_soak display_soak.cpp)
  target_link_libraries(display_soak PRIVATE display test_support GTest::gtest_main)
  add_test(NAME display_soak COMMAND display_soak)
  set_tests_properties(display_soak PROPERTIES TIMEOUT 900 ENVIRONMENT
                       "VERSELUME_WINEDEBUG=warn+heap" FAIL_REGULAR_EXPRESSION "err:heap")
endif()

# Prints figures; run by tools/bench, not by the test suite.
if(WIN32)
  add_executable(display_bench bench/display_bench.cpp)
  target_link_libraries(display_bench PRIVATE display test_support)
  add_executable(black_window WIN32 bench/black_window.cpp)
  target_link_libraries(black_window PRIVATE verselume_options)
endif()

# The display in the real program.
if(WIN32)
  verselume_test(saver_display_test SOURCES saver_display_test.cpp
                 LIBRARIES display saver_process_support FILTER -TwoMonitors.*)
  target_compile_definitions(saver_display_test PRIVATE
                             VERSELUME_SCR="Z:$<TARGET_FILE:Verselume>")
  add_dependencies(saver_display_test Verselume)
  # Its two-monitor tests, on an X server and a Wine prefix of their own.
  add_test(NAME saver_display_two_monitors
           COMMAND ${CMAKE_SOURCE_DIR}/tools/two-monitors ${CMAKE_BINARY_DIR}/wineprefix-two-monitors
                   $<TARGET_FILE:saver_display_test> --gtest_filter=TwoMonitors.*)
  set_tests_properties(saver_display_two_monitors PROPERTIES TIMEOUT 600)
  # The list's letters once more under a Western code page (1252); tools/lib.sh makes the locale.
  add_test(NAME saver_display_code_page_1252
           COMMAND saver_display_test
                   --gtest_filter=SaverDisplay.ListLettersShowAsTheyAreWhateverTheCodePage)
  set_tests_properties(saver_display_code_page_1252 PROPERTIES TIMEOUT 180 ENVIRONMENT
                       "VERSELUME_WINE_LOCALE=en_US.UTF-8;VERSELUME_TEST_CODE_PAGE=1252")
endif()
