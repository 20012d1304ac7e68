verselume_test(list_file_test SOURCES list_file_test.cpp LIBRARIES settings_core)
verselume_test(list_save_test SOURCES list_save_test.cpp LIBRARIES settings_core)

if(WIN32)
  verselume_test(registry_store_test SOURCES registry_store_test.cpp LIBRARIES settings)
endif()

verselume_fuzz(list_file_fuzz SECONDS 30
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/list_file_corpus
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/list_file_fuzz.cpp
  LIBRARIES settings_core)

# Prints figures; run by tools/bench, not by the test suite.
add_executable(list_file_bench bench/list_file_bench.cpp)
target_link_libraries(list_file_bench PRIVATE display_core verselume_options)

# A second program saving a list, for the test of two saves at once.
if(WIN32)
  add_executable(list_writer list_writer.cpp)
  target_link_libraries(list_writer PRIVATE settings_core verselume_options)
  add_dependencies(list_file_test list_writer)
  target_compile_definitions(list_file_test PRIVATE LIST_WRITER="Z:$<TARGET_FILE:list_writer>")
endif()
