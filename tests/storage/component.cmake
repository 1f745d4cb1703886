# The table component.
add_executable(component_tests
  ${CMAKE_CURRENT_LIST_DIR}/component_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_filter_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_keyed_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_sharing_test.cpp
)
target_link_libraries(component_tests PRIVATE storage GTest::gtest_main)
gtest_discover_tests(component_tests PROPERTIES LABELS storage)

if(NOT WIN32)
  add_test(NAME dbftool_count COMMAND ${CMAKE_CURRENT_LIST_DIR}/dbftool_count_test.sh $<TARGET_FILE:dbftool>)
  set_tests_properties(dbftool_count PROPERTIES LABELS storage)
endif()
