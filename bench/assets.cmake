# bench_assets: the Assets and Liabilities forms over 50,000 records per table.
if(NETWORTH_GUI)
  add_executable(bench_assets ${CMAKE_CURRENT_SOURCE_DIR}/assets_bench.cpp)
  target_link_libraries(bench_assets PRIVATE app benchmark::benchmark)
endif()
