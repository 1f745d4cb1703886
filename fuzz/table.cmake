# fuzz_table: the table and memo readers (and a few writes) over malformed files in memory.
add_executable(fuzz_table ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_table.cpp)
target_link_libraries(fuzz_table PRIVATE storage)
target_link_options(fuzz_table PRIVATE -fsanitize=fuzzer)
