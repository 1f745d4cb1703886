# Sharing, crashes and full disks: real processes reading beside appending ones, a process killed
# before each write of a run of appends, writes failing at every byte, a small real file system
# and the file-size limit; dbftool's repairs and checks of such files. POSIX processes.
if(NOT WIN32 AND NOT CMAKE_CROSSCOMPILING AND TARGET dbftool)
  add_executable(reliability_helper ${CMAKE_CURRENT_LIST_DIR}/reliability_helper.cpp)
  target_link_libraries(reliability_helper PRIVATE storage)

  add_executable(create_race_helper ${CMAKE_CURRENT_LIST_DIR}/create_race_helper.cpp)
  target_link_libraries(create_race_helper PRIVATE storage)

  add_executable(reliability_tests
    ${CMAKE_CURRENT_LIST_DIR}/reliability_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/create_race_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reliability_dbftool_test.cpp)
  target_link_libraries(reliability_tests PRIVATE storage GTest::gtest_main)
  target_compile_definitions(reliability_tests PRIVATE
    RELIABILITY_HELPER="$<TARGET_FILE:reliability_helper>"
    CREATE_RACE_HELPER="$<TARGET_FILE:create_race_helper>"
    DBFTOOL="$<TARGET_FILE:dbftool>")
  add_dependencies(reliability_tests reliability_helper create_race_helper dbftool)
  gtest_discover_tests(reliability_tests PROPERTIES LABELS storage DISCOVERY_TIMEOUT 30)
endif()
