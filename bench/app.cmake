# bench_startup: program start until the matter selection is on screen, with 10,000 matters.
if(NETWORTH_GUI)
  add_executable(bench_startup ${CMAKE_CURRENT_SOURCE_DIR}/startup_bench.cpp)
  target_link_libraries(bench_startup PRIVATE app benchmark::benchmark)
endif()
