# The Family, Expenses and Gross Income forms.
add_executable(family_forms_test ${CMAKE_CURRENT_LIST_DIR}/family_forms_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/family_fixture.h)
target_link_libraries(family_forms_test PRIVATE app schedules Qt6::Test)
set_target_properties(family_forms_test PROPERTIES AUTOMOC ON)
add_test(NAME family_forms_test COMMAND family_forms_test)
set_tests_properties(family_forms_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
