# A new user's run to a guideline worksheet: the Guidelines form in the real program, its Print
# button through the output options, `networth --print-guidelines`, both PDFs read back by
# pdftotext and checked as PDF/A, the stored table by dbfread. With SCREENSHOT_DIR set under a
# real display it also takes the screenshot in docs/.
add_executable(guidelines_run_test ${CMAKE_CURRENT_LIST_DIR}/guidelines_run_test.cpp)
target_link_libraries(guidelines_run_test PRIVATE app Qt6::Test)
networth_pdf_test(guidelines_run_test)
target_compile_definitions(guidelines_run_test PRIVATE
  NETWORTH="$<TARGET_FILE:networth>"
  PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}"
  NETWORTH_PYTHON="${NETWORTH_PYTHON}"
  READ_TABLE_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/read_general.py")
add_dependencies(guidelines_run_test networth guideline_parameters guidelines_report)
add_test(NAME guidelines_run_test COMMAND guidelines_run_test)
set_tests_properties(guidelines_run_test PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=en_US.UTF-8" ${NETWORTH_PDFA_FIXTURE})
