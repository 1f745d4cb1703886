# bench_table: a full scan of a 500,000-record Expenses table against reading its bytes, and
# appending the 99 standard expense lines under the append lock.
add_executable(bench_table ${CMAKE_CURRENT_SOURCE_DIR}/bench_table.cpp)
target_link_libraries(bench_table PRIVATE storage benchmark::benchmark)
