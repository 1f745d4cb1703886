# The printed guideline worksheet: a computed case through Reports/Guidelines.rpf into a PDF,
# read back with pdftotext.
add_executable(guidelines_worksheet_test
  ${CMAKE_CURRENT_SOURCE_DIR}/guidelines_worksheet_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/print_test_main.cpp)
target_link_libraries(guidelines_worksheet_test PRIVATE printing GTest::gtest)
networth_pdf_test(guidelines_worksheet_test)
target_compile_definitions(guidelines_worksheet_test PRIVATE PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}")
add_dependencies(guidelines_worksheet_test guidelines_report guideline_parameters)
# One environment variable only (a list would be split into properties of its own); the test
# program picks the offscreen platform itself.
gtest_discover_tests(guidelines_worksheet_test DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT LC_ALL=en_US.UTF-8 ${NETWORTH_PDFA_FIXTURE})

# Writes the sample worksheet to a PDF: for the rendered pages and by hand.
add_executable(guidelines_sample ${CMAKE_CURRENT_SOURCE_DIR}/guidelines_sample.cpp)
target_link_libraries(guidelines_sample PRIVATE printing)
target_compile_definitions(guidelines_sample PRIVATE PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}")
set_target_properties(guidelines_sample PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_dependencies(guidelines_sample guidelines_report guideline_parameters)

# `networth --print-guidelines` over a data directory written by the print fixture.
add_executable(print_guidelines_test
  ${CMAKE_CURRENT_SOURCE_DIR}/print_guidelines_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/print_test_main.cpp)
target_link_libraries(print_guidelines_test PRIVATE print_fixture GTest::gtest)
networth_pdf_test(print_guidelines_test)
target_compile_definitions(print_guidelines_test PRIVATE NETWORTH="$<TARGET_FILE:networth>")
add_dependencies(print_guidelines_test networth guidelines_report guideline_parameters)
gtest_discover_tests(print_guidelines_test DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT LC_ALL=en_US.UTF-8 ${NETWORTH_PDFA_FIXTURE})
