# libFuzzer target for the multiple-index reader and tag writer.
add_executable(fuzz_index ${CMAKE_CURRENT_SOURCE_DIR}/index_fuzz.cpp)
target_link_libraries(fuzz_index PRIVATE storage)
target_link_options(fuzz_index PRIVATE -fsanitize=fuzzer)
