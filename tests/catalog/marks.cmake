# Marks.dbf written under sharing, crashes and full disks, with the storage layer's reliability
# machinery (POSIX processes). Labelled storage: the sanitizer build runs it with the storage tests.
if(NOT WIN32 AND NOT CMAKE_CROSSCOMPILING AND TARGET dbftool)
  add_executable(marks_helper ${CMAKE_CURRENT_LIST_DIR}/marks_helper.cpp)
  target_link_libraries(marks_helper PRIVATE catalog)
  add_executable(marks_reliability_test ${CMAKE_CURRENT_LIST_DIR}/marks_reliability_test.cpp)
  target_link_libraries(marks_reliability_test PRIVATE catalog GTest::gtest_main)
  target_compile_definitions(marks_reliability_test PRIVATE
    MARKS_HELPER="$<TARGET_FILE:marks_helper>"
    DBFTOOL="$<TARGET_FILE:dbftool>")
  add_dependencies(marks_reliability_test marks_helper dbftool)
  gtest_discover_tests(marks_reliability_test PROPERTIES LABELS storage DISCOVERY_TIMEOUT 30)
endif()
