# The DLLs a Windows build's programs load, placed beside them in the program's directory (the
# build's bin/) and installed with the program: MinGW's C++ runtime and, in the build with Qt, the
# Qt libraries with the platform plugins (windows; offscreen for the headless print and the tests)
# and the Windows style.
set(NETWORTH_RUNTIME_FILES)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "The compiler knows no ${dll}")
  endif()
  get_filename_component(path "${path}" REALPATH)
  list(APPEND NETWORTH_RUNTIME_FILES "${path}")
endforeach()

set(commands)
foreach(file ${NETWORTH_RUNTIME_FILES})
  list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${NETWORTH_PROGRAM_DIR}/)
endforeach()
install(FILES ${NETWORTH_RUNTIME_FILES} DESTINATION .)

if(NETWORTH_GUI)
  # Qt's libraries beside the programs, its plugins in the folders Qt looks for beside them. The
  # test library is for the tests alone and is not installed.
  foreach(module Core Gui Widgets PrintSupport)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
         $<TARGET_FILE:Qt6::${module}> ${NETWORTH_PROGRAM_DIR}/)
    install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
  endforeach()
  list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
       $<TARGET_FILE:Qt6::Test> ${NETWORTH_PROGRAM_DIR}/)
  foreach(entry platforms:QWindowsIntegrationPlugin platforms:QOffscreenIntegrationPlugin
                styles:QWindowsVistaStylePlugin)
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 folder)
    list(GET entry 1 plugin)
    list(APPEND commands
         COMMAND ${CMAKE_COMMAND} -E make_directory ${NETWORTH_PROGRAM_DIR}/${folder}
         COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::${plugin}>
                 ${NETWORTH_PROGRAM_DIR}/${folder}/)
    install(FILES $<TARGET_FILE:Qt6::${plugin}> DESTINATION ${folder})
  endforeach()
endif()

add_custom_target(windows_runtime ALL ${commands}
  COMMENT "Placing the runtime DLLs beside the programs" VERBATIM)
