# fuzz_guideline_parameters: guideline parameter files through the parser, and whatever parses
# through the computation of a case.
add_executable(fuzz_guideline_parameters ${CMAKE_CURRENT_SOURCE_DIR}/guideline_parameters_fuzz.cpp)
target_link_libraries(fuzz_guideline_parameters PRIVATE guidelines)
target_link_options(fuzz_guideline_parameters PRIVATE -fsanitize=fuzzer)
