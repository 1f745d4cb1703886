# The table component.
add_executable(component_tests
  ${CMAKE_CURRENT_LIST_DIR}/component_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_filter_test.cpp
)
target_link_libraries(component_tests PRIVATE storage GTest::gtest_main)
gtest_discover_tests(component_tests PROPERTIES LABELS storage)
