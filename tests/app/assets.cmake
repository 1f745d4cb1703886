# A new user's run through the Assets, Liabilities and Summary schedules, ending with the stored
# files read back by dbfread. With SCREENSHOT_DIR set under a real display it also takes the
# screenshots in docs/.
add_executable(assets_new_user_test ${CMAKE_CURRENT_LIST_DIR}/assets_new_user_test.cpp)
target_link_libraries(assets_new_user_test PRIVATE app Qt6::Test)
target_compile_definitions(assets_new_user_test PRIVATE
  NETWORTH_PYTHON="${NETWORTH_PYTHON}"
  READ_TABLES_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/read_tables.py")
add_test(NAME assets_new_user_test COMMAND assets_new_user_test)
set_tests_properties(assets_new_user_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
