# The shell's decisions, natively and for Windows.
verselume_test(shell_core_test SOURCES shell_core_test.cpp LIBRARIES shell_core)

verselume_fuzz(command_tail_fuzz SECONDS 15
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/command_tail_corpus
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/command_tail_fuzz.cpp
  LIBRARIES shell_core)

if(WIN32)
  verselume_test(shell_test SOURCES shell_test.cpp
                 LIBRARIES shell display config_ui settings resources)

  # Stand-ins for the Windows 95-family password components, loaded by a copy of the program.
  add_library(mpr_stand_in SHARED stand_ins/mpr_stand_in.cpp)
  set_target_properties(mpr_stand_in PROPERTIES PREFIX "" OUTPUT_NAME MPR SUFFIX .DLL)
  add_library(password_stand_in SHARED stand_ins/password_stand_in.cpp)
  set_target_properties(password_stand_in PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX .CPL)
  foreach(stand_in mpr_stand_in password_stand_in)
    target_link_libraries(${stand_in} PRIVATE verselume_options user32)
    # Exported by their plain names, as the program looks them up (no @n of 32-bit stdcall).
    target_link_options(${stand_in} PRIVATE -Wl,--kill-at)
  endforeach()

  # Planted beside the program under the names of the libraries it loads.
  add_library(marker_dll SHARED stand_ins/marker_dll.cpp)
  set_target_properties(marker_dll PROPERTIES PREFIX "")
  target_link_libraries(marker_dll PRIVATE verselume_options)

  verselume_test(saver_launch_test SOURCES saver_launch_test.cpp
                 LIBRARIES saver_process_support)
  target_compile_definitions(saver_launch_test PRIVATE
    VERSELUME_SCR="Z:$<TARGET_FILE:Verselume>"
    MPR_STAND_IN="Z:$<TARGET_FILE:mpr_stand_in>"
    PASSWORD_STAND_IN="Z:$<TARGET_FILE:password_stand_in>"
    MARKER_DLL="Z:$<TARGET_FILE:marker_dll>")
  add_dependencies(saver_launch_test Verselume mpr_stand_in password_stand_in html_help_stand_in
                   marker_dll)

  # The program imports the known DLLs its page lists, no others.
  add_test(NAME program_imports
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:Verselume>
            -DPAGE=${CMAKE_SOURCE_DIR}/docs/system-libraries.md
            -P ${CMAKE_SOURCE_DIR}/app/check_imports.cmake)
endif()
