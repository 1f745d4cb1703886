# bench_report: a 20-page report of 1,000 detail rows laid out and written to PDF.
if(NETWORTH_GUI)
  add_executable(bench_report ${CMAKE_CURRENT_SOURCE_DIR}/report_bench.cpp)
  target_link_libraries(bench_report PRIVATE report benchmark::benchmark Qt6::Gui)
endif()
