# bench_print: the print job from the print command to the PDF written, for a full matter in a
# data directory of 5,000 matters, against reading every table file once; peak memory of
# `networth --print-pdf`.
if(NETWORTH_GUI AND TARGET office_data)
  add_executable(bench_print ${CMAKE_CURRENT_SOURCE_DIR}/print_bench.cpp)
  target_link_libraries(bench_print PRIVATE office_data benchmark::benchmark)
  target_compile_definitions(bench_print PRIVATE
    NETWORTH="$<TARGET_FILE:networth>"
    PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}")
  add_dependencies(bench_print networth statement_report)
endif()
