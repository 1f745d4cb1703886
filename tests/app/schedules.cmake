# A new user's run through the Family, Expenses and Gross Income schedules, read back by dbfread.
add_executable(schedules_run_test ${CMAKE_CURRENT_LIST_DIR}/schedules_run_test.cpp)
target_link_libraries(schedules_run_test PRIVATE app Qt6::Test)
target_compile_definitions(schedules_run_test PRIVATE
  NETWORTH_PYTHON="${NETWORTH_PYTHON}"
  READ_TABLE_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/read_general.py")
add_test(NAME schedules_run_test COMMAND schedules_run_test)
set_tests_properties(schedules_run_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
