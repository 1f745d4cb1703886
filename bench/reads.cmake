# bench_reads: bytes read from the data directory for one matter (each schedule form's opening,
# a category change, the print job) in offices of 500 and 5,000 matters.
if(NETWORTH_GUI AND TARGET print_fixture)
  add_library(office_data STATIC ${CMAKE_CURRENT_SOURCE_DIR}/office_data.cpp
                                 ${CMAKE_CURRENT_SOURCE_DIR}/office_data.h)
  target_link_libraries(office_data PUBLIC print_fixture)
  add_executable(bench_reads ${CMAKE_CURRENT_SOURCE_DIR}/reads_bench.cpp)
  target_link_libraries(bench_reads PRIVATE office_data benchmark::benchmark)
  target_compile_definitions(bench_reads PRIVATE PROGRAM_DIR="${NETWORTH_PROGRAM_DIR}")
  add_dependencies(bench_reads statement_report)
endif()
