# Tests of the print job: its parameters, what it hands to the report, and the statement that
# `networth --print-pdf` writes, read back with pdftotext.
find_program(NETWORTH_PDFINFO pdfinfo REQUIRED)
networth_host_tool(NETWORTH_PDFINFO)

add_library(print_fixture STATIC print_fixture.cpp print_fixture.h)
target_include_directories(print_fixture PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(print_fixture PUBLIC app)

# Writes the full scenario into a data directory: for the rendered pages and by hand.
add_executable(print_scenario print_scenario.cpp)
target_link_libraries(print_scenario PRIVATE print_fixture)
set_target_properties(print_scenario PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

# Appends expense lines as a workstation does, for the tests of a Windows and a Linux workstation
# on one data directory (tests/windows). In the program's directory, beside the DLLs.
add_executable(expense_appender expense_appender.cpp)
target_link_libraries(expense_appender PRIVATE print_fixture)

add_executable(print_parameters_test print_parameters_test.cpp)
target_link_libraries(print_parameters_test PRIVATE printing GTest::gtest_main)
gtest_discover_tests(print_parameters_test DISCOVERY_MODE PRE_TEST)

add_executable(statement_check_test statement_check_test.cpp)
target_link_libraries(statement_check_test PRIVATE printing GTest::gtest_main)
gtest_discover_tests(statement_check_test DISCOVERY_MODE PRE_TEST)

foreach(name print_job_test print_pdf_test statement_marks_test)
  add_executable(${name} ${name}.cpp print_test_main.cpp)
  target_link_libraries(${name} PRIVATE print_fixture GTest::gtest)
  networth_pdf_test(${name})
  target_compile_definitions(${name} PRIVATE
    PDFINFO="${NETWORTH_PDFINFO}"
    NETWORTH="$<TARGET_FILE:networth>"
    EXPENSE_APPENDER="$<TARGET_FILE:expense_appender>"
    PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}")
  add_dependencies(${name} networth statement_report expense_appender)
  # One environment variable only (a list would be split into properties of its own); the test
  # program picks the offscreen platform itself.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT LC_ALL=en_US.UTF-8 ${NETWORTH_PDFA_FIXTURE})
endforeach()

# The Print command through the main window, on the offscreen platform.
add_executable(print_window_test print_window_test.cpp)
target_link_libraries(print_window_test PRIVATE print_fixture Qt6::Test)
networth_pdf_test(print_window_test)
target_compile_definitions(print_window_test PRIVATE PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}")
add_dependencies(print_window_test statement_report)
add_test(NAME print_window_test COMMAND print_window_test)
set_tests_properties(print_window_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=en_US.UTF-8")

# Printing from the preview to a real printer: with_cups.sh runs a CUPS daemon of its own with a
# PDF printer (Debian's cups-pdf) for the test function that prints to it. Skipped (77) when not
# run as root, which the cups-pdf backend needs. The Linux build's test only: a Windows program
# reaches its printers through the Windows print spooler.
if(NOT WIN32)
  add_test(NAME print_cups_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/with_cups.sh $<TARGET_FILE:print_window_test>
            printingFromThePreviewReachesARealPrinter)
  set_tests_properties(print_cups_test PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=en_US.UTF-8"
    SKIP_RETURN_CODE 77 TIMEOUT 300 ${NETWORTH_PDFA_FIXTURE})
endif()
