# The tests of the Windows build run under Wine (CTest's emulator, cmake/wine-run.sh).
#
# Fonts: the offscreen platform on Windows reads its fonts from one folder only, so the tests get
# one holding what the tests on Linux find through fontconfig: DejaVu (the widgets' font) and the
# report fonts.
set(NETWORTH_TEST_FONTS ${CMAKE_BINARY_DIR}/test-fonts)
file(MAKE_DIRECTORY ${NETWORTH_TEST_FONTS})
file(GLOB test_font_files /usr/share/fonts/truetype/dejavu/*.ttf
     /usr/share/fonts/truetype/liberation2/LiberationSerif-*.ttf)
foreach(file ${test_font_files})
  get_filename_component(name ${file} NAME)
  file(CREATE_LINK ${file} ${NETWORTH_TEST_FONTS}/${name} SYMBOLIC)
endforeach()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CROSSCOMPILING_EMULATOR} --fonts ${NETWORTH_TEST_FONTS})

# Programs of this machine that tests start (the dBASE readers in python3, pdftotext, pdffonts)
# are reached through host_tool.exe, one per program.
function(networth_host_tool variable)
  get_filename_component(name ${${variable}} NAME_WE)
  set(target host_${name})
  if(NOT TARGET ${target})
    add_executable(${target} ${CMAKE_SOURCE_DIR}/tests/support/host_tool.cpp)
    target_compile_definitions(${target} PRIVATE HOST_TOOL="${${variable}}"
                               HOST_RUN="${CMAKE_SOURCE_DIR}/tests/support/host_run.sh")
    target_link_options(${target} PRIVATE -municode -static)
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
  endif()
  set(${variable} Z:$<TARGET_FILE:${target}> PARENT_SCOPE)
endfunction()
