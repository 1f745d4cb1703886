# Tests of the index files: key expressions, the multiple-index file, tags, the production index.
add_executable(index_helper ${CMAKE_CURRENT_SOURCE_DIR}/index_helper.cpp)
target_link_libraries(index_helper PRIVATE storage)

add_executable(index_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/key_expression_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mdx_format_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/index_tree_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/index_check_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/index_production_test.cpp)
target_link_libraries(index_tests PRIVATE storage GTest::gtest_main)
target_compile_definitions(index_tests PRIVATE
  NETWORTH_SHARED_DIR="${NETWORTH_SHARED_DIR}"
  INDEX_HELPER="$<TARGET_FILE:index_helper>")
add_dependencies(index_tests index_helper)
gtest_discover_tests(index_tests PROPERTIES LABELS storage)

if(NOT WIN32)
  add_test(NAME index_perl_reads_our_tag
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/index_perl_reads.sh $<TARGET_FILE:index_helper>
            ${CMAKE_CURRENT_BINARY_DIR}/index_perl_work)
  set_tests_properties(index_perl_reads_our_tag PROPERTIES LABELS storage)

  if(TARGET dbftool)
    add_test(NAME index_dbftool_commands
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/index_dbftool.sh $<TARGET_FILE:dbftool>
              ${CMAKE_CURRENT_BINARY_DIR}/index_dbftool_work ${NETWORTH_SHARED_DIR})
    set_tests_properties(index_dbftool_commands PROPERTIES LABELS storage SKIP_RETURN_CODE 77)

    # dbftool count by matter beside foreign writers, a missing or damaged index and eight
    # appending processes.
    foreach(case foreign-writers damaged-index many-processes)
      add_test(NAME matter_lookup_${case}
               COMMAND ${NETWORTH_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/matter_lookup_test.py
                       $<TARGET_FILE:dbftool> ${case})
      set_tests_properties(matter_lookup_${case} PROPERTIES LABELS storage TIMEOUT 120)
    endforeach()
  endif()
endif()
