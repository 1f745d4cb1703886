# fuzz_report_parser: report project files through the parser, and every parsed expression
# through the evaluator. Only QtCore is needed; without it the target is skipped.
find_package(Qt6 QUIET COMPONENTS Core)
if(Qt6Core_FOUND)
  set(REPORT_DIR ${CMAKE_SOURCE_DIR}/src/report)
  add_executable(fuzz_report_parser
    ${CMAKE_CURRENT_SOURCE_DIR}/report_parser_fuzz.cpp
    ${REPORT_DIR}/value.cpp
    ${REPORT_DIR}/expression.cpp
    ${REPORT_DIR}/project_lexer.cpp
    ${REPORT_DIR}/project_parser.cpp
    ${REPORT_DIR}/evaluator.cpp
    ${REPORT_DIR}/memory_data_set.cpp)
  target_include_directories(fuzz_report_parser PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(fuzz_report_parser PRIVATE Qt6::Core)
  target_link_options(fuzz_report_parser PRIVATE -fsanitize=fuzzer)
endif()
