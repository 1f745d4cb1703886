# Index benchmarks: FindExact against a scan, and building a tag against sorting in memory.
add_executable(bench_index ${CMAKE_CURRENT_SOURCE_DIR}/index_bench.cpp)
target_link_libraries(bench_index PRIVATE storage benchmark::benchmark)
