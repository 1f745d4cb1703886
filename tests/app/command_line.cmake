# The command line: --help, --version, unknown options and the guideline calculator, run as the
# real program.
add_executable(command_line_test ${CMAKE_CURRENT_SOURCE_DIR}/command_line_test.cpp)
target_link_libraries(command_line_test PRIVATE Qt6::Core GTest::gtest)
target_compile_definitions(command_line_test PRIVATE
  NETWORTH="$<TARGET_FILE:networth>"
  NETWORTH_VERSION="${PROJECT_VERSION}")
add_dependencies(command_line_test networth guideline_parameters)
gtest_discover_tests(command_line_test DISCOVERY_MODE PRE_TEST)
