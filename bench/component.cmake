# bench_component: the table component on a 500,000-line Expenses table with the matter filter.
add_executable(bench_component ${CMAKE_CURRENT_SOURCE_DIR}/component_bench.cpp)
target_link_libraries(bench_component PRIVATE storage benchmark::benchmark)
