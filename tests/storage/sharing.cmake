# Workstations as processes on one table: posts laid onto what others changed, deleted or created
# meanwhile, and eight processes editing different fields of one record.
add_executable(sharing_helper ${CMAKE_CURRENT_LIST_DIR}/sharing_helper.cpp)
target_link_libraries(sharing_helper PRIVATE storage)

add_executable(sharing_tests ${CMAKE_CURRENT_LIST_DIR}/sharing_process_test.cpp)
target_link_libraries(sharing_tests PRIVATE storage GTest::gtest_main)
target_compile_definitions(sharing_tests PRIVATE SHARING_HELPER="$<TARGET_FILE:sharing_helper>")
add_dependencies(sharing_tests sharing_helper)
gtest_discover_tests(sharing_tests PROPERTIES LABELS storage DISCOVERY_TIMEOUT 30)
