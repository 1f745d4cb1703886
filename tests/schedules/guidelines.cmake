# The Guidelines form: its inputs read from the matter's records and its own table, and the form
# driven on the offscreen platform with the parameters beside the program.
add_executable(guidelines_form_test ${CMAKE_CURRENT_LIST_DIR}/guidelines_form_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/family_fixture.h)
target_link_libraries(guidelines_form_test PRIVATE app schedules Qt6::Test)
target_compile_definitions(guidelines_form_test PRIVATE PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}")
set_target_properties(guidelines_form_test PROPERTIES AUTOMOC ON)
add_dependencies(guidelines_form_test guideline_parameters)
add_test(NAME guidelines_form_test COMMAND guidelines_form_test)
set_tests_properties(guidelines_form_test PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=en_US.UTF-8")

add_executable(guideline_inputs_test ${CMAKE_CURRENT_LIST_DIR}/guideline_inputs_test.cpp)
target_link_libraries(guideline_inputs_test PRIVATE schedules GTest::gtest)
add_test(NAME guideline_inputs_test COMMAND guideline_inputs_test)
set_tests_properties(guideline_inputs_test PROPERTIES ENVIRONMENT "LC_ALL=en_US.UTF-8")

# The form's save with other workstations saving meanwhile, a workstation killed before each of
# its writes (the helper guidelines_writer) and a full disk at every byte. POSIX processes.
if(NOT WIN32 AND TARGET dbftool)
  add_executable(guidelines_writer ${CMAKE_CURRENT_LIST_DIR}/guidelines_writer.cpp)
  target_link_libraries(guidelines_writer PRIVATE schedules)
  add_executable(guidelines_table_test ${CMAKE_CURRENT_LIST_DIR}/guidelines_table_test.cpp)
  target_link_libraries(guidelines_table_test PRIVATE schedules GTest::gtest)
  target_compile_definitions(guidelines_table_test PRIVATE
    GUIDELINES_WRITER="$<TARGET_FILE:guidelines_writer>"
    DBFTOOL="$<TARGET_FILE:dbftool>")
  add_dependencies(guidelines_table_test guidelines_writer dbftool)
  gtest_discover_tests(guidelines_table_test PROPERTIES LABELS storage DISCOVERY_TIMEOUT 30)
endif()
