# Tests of the table and memo files, the field codec, the code page and the Env implementations.
add_executable(table_helper ${CMAKE_CURRENT_SOURCE_DIR}/table_helper.cpp)
target_link_libraries(table_helper PRIVATE storage)

add_executable(table_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/codec_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/field_text_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dbf_file_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/memo_file_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/env_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/file_names_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/process_test.cpp)
target_link_libraries(table_tests PRIVATE storage GTest::gtest_main)
target_compile_definitions(table_tests PRIVATE TABLE_HELPER="$<TARGET_FILE:table_helper>")
add_dependencies(table_tests table_helper)
gtest_discover_tests(table_tests PROPERTIES LABELS storage)

if(NOT WIN32)
  # Independent readers (python3-dbfread, python3-dbf) against our files, and ours against theirs.
  add_test(NAME table_interop
           COMMAND ${NETWORTH_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/table_interop.py
                   $<TARGET_FILE:table_helper> $<TARGET_FILE:dbftool>)
  set_tests_properties(table_interop PROPERTIES LABELS storage)
endif()
