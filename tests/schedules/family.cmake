# The Family, Expenses and Gross Income forms, and the table catalog read back by dbfread.
add_executable(family_forms_test ${CMAKE_CURRENT_LIST_DIR}/family_forms_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/family_fixture.h)
target_link_libraries(family_forms_test PRIVATE app schedules Qt6::Test)
set_target_properties(family_forms_test PROPERTIES AUTOMOC ON)
add_test(NAME family_forms_test COMMAND family_forms_test)
set_tests_properties(family_forms_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Every table of the catalog created and read back by dbfread.
add_executable(catalog_fields_test ${CMAKE_CURRENT_LIST_DIR}/catalog_fields_test.cpp)
target_link_libraries(catalog_fields_test PRIVATE schedules GTest::gtest)
target_compile_definitions(catalog_fields_test PRIVATE
  NETWORTH_PYTHON="${NETWORTH_PYTHON}"
  FIELD_LIST_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/list_fields.py"
  FAMILY_FIELDS="${CMAKE_CURRENT_LIST_DIR}/family_fields.txt"
  ASSETS_FIELDS="${CMAKE_CURRENT_LIST_DIR}/assets_fields.txt")
add_test(NAME catalog_fields_test COMMAND catalog_fields_test)
