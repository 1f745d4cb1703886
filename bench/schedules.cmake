# bench_expenses: the Expenses form over 50,000 and 500,000 expense lines.
if(NETWORTH_GUI)
  add_executable(bench_expenses ${CMAKE_CURRENT_SOURCE_DIR}/expenses_bench.cpp)
  target_link_libraries(bench_expenses PRIVATE app benchmark::benchmark)
endif()
