# The Assets, Liabilities and Summary forms and the schedule-table binding they share.
add_executable(schedule_table_test ${CMAKE_CURRENT_LIST_DIR}/schedule_table_test.cpp)
target_link_libraries(schedule_table_test PRIVATE schedules GTest::gtest_main)
add_test(NAME schedule_table_test COMMAND schedule_table_test)
set_tests_properties(schedule_table_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
