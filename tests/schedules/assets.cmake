# The Assets, Liabilities and Summary forms and the schedule-table binding they share.
add_executable(schedule_table_test ${CMAKE_CURRENT_LIST_DIR}/schedule_table_test.cpp)
target_link_libraries(schedule_table_test PRIVATE schedules GTest::gtest_main)
add_test(NAME schedule_table_test COMMAND schedule_table_test)
set_tests_properties(schedule_table_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

add_executable(assets_forms_test ${CMAKE_CURRENT_LIST_DIR}/assets_forms_test.cpp)
target_link_libraries(assets_forms_test PRIVATE schedules Qt6::Test)
target_compile_definitions(assets_forms_test PRIVATE
  NETWORTH_PYTHON="${NETWORTH_PYTHON}"
  FIELD_LIST_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/../catalog/list_fields.py"
  EXPECTED_FIELDS="${CMAKE_CURRENT_SOURCE_DIR}/../catalog/assets_fields.txt"
  MARKS_FIELDS="${CMAKE_CURRENT_SOURCE_DIR}/../catalog/marks_fields.txt")
add_test(NAME assets_forms_test COMMAND assets_forms_test)
set_tests_properties(assets_forms_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

add_executable(locale_date_test ${CMAKE_CURRENT_LIST_DIR}/locale_date_test.cpp)
target_link_libraries(locale_date_test PRIVATE schedules GTest::gtest_main)
add_test(NAME locale_date_test COMMAND locale_date_test)
