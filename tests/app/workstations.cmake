# Two workstations on one matter: the program against another workstation's process, the files
# read back by dbfread.
if(NOT WIN32 AND TARGET sharing_helper)
  add_executable(two_workstations_test ${CMAKE_CURRENT_LIST_DIR}/two_workstations_test.cpp)
  target_link_libraries(two_workstations_test PRIVATE app Qt6::Test)
  target_compile_definitions(two_workstations_test PRIVATE
    NETWORTH_PYTHON="${NETWORTH_PYTHON}"
    READ_RECORDS_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/read_records.py"
    SHARING_HELPER="$<TARGET_FILE:sharing_helper>")
  add_dependencies(two_workstations_test sharing_helper)
  add_test(NAME two_workstations_test COMMAND two_workstations_test)
  set_tests_properties(two_workstations_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()
