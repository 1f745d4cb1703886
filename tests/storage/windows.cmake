# The Windows build of dbftool under Wine, against the Linux build named by NETWORTH_HOST_DBFTOOL:
# a round trip of one table through both, and two Windows processes appending at once.
if(WIN32 AND CMAKE_CROSSCOMPILING AND TARGET dbftool)
  set(NETWORTH_HOST_DBFTOOL "" CACHE FILEPATH "dbftool built for this machine, for the Wine tests")
  if(NETWORTH_HOST_DBFTOOL)
    foreach(mode round-trip two-writers)
      add_test(NAME wine_dbftool_${mode}
               COMMAND ${NETWORTH_HOST_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/wine_dbftool.py ${mode}
                       $<TARGET_FILE:dbftool> ${NETWORTH_HOST_DBFTOOL}
                       ${CMAKE_CURRENT_BINARY_DIR}/wine_dbftool_${mode})
      set_tests_properties(wine_dbftool_${mode} PROPERTIES LABELS storage)
    endforeach()
  endif()
endif()
