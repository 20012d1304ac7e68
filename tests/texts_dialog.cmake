# Verses editor: its decisions natively, the dialog itself under Wine.
verselume_test(texts_rules_test SOURCES texts_rules_test.cpp LIBRARIES texts_rules)

if(WIN32)
  verselume_test(texts_dialog_test
    SOURCES texts_dialog_test.cpp
    LIBRARIES config_ui_test_support resources)

  # Prints figures; run by tools/bench, not by the test suite.
  add_executable(texts_dialog_bench bench/texts_dialog_bench.cpp)
  target_link_libraries(texts_dialog_bench PRIVATE config_ui_test_support resources)
endif()
