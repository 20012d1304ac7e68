# The program's templates, strings, version record and manifest against the resource scripts
# they are built from, under Wine.
if(WIN32)
  verselume_test(resources_test SOURCES resources_test.cpp
                 LIBRARIES config_ui_test_support saver_process_support resources version)
  target_compile_definitions(resources_test PRIVATE
                             VERSELUME_RESOURCES_DIR="Z:${CMAKE_SOURCE_DIR}/resources")
endif()
