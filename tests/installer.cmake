# The sample lists, checked natively; the installer of the Windows build, run under Wine.
if(NOT WIN32)
  verselume_test(sample_data_test SOURCES sample_data_test.cpp LIBRARIES settings_core)
  target_compile_definitions(sample_data_test PRIVATE
    VERSELUME_SAMPLE_DIR="${CMAKE_SOURCE_DIR}/installer")

  find_package(Python3 COMPONENTS Interpreter)
  if(Python3_FOUND)
    # The committed lists are what their generator writes.
    add_test(NAME sample_data_generated
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/installer/make_sample_data.py --check)
  endif()
else()
  verselume_test(installer_test SOURCES installer_test.cpp
                 LIBRARIES settings saver_process_support ole32 uuid shell32)
  target_compile_definitions(installer_test PRIVATE
    VERSELUME_INSTALLER="${VERSELUME_INSTALLER}"
    VERSELUME_SCR="Z:$<TARGET_FILE:Verselume>"
    VERSELUME_HELP_FILE="${VERSELUME_HELP_FILE}"
    VERSELUME_SAMPLE_DIR="${CMAKE_SOURCE_DIR}/installer")
  add_dependencies(installer_test installer)
endif()
