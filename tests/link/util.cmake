# Device identity and tables, registered messages, shared utilities and the log.
tavrik_test(link_util_tests LABEL link
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/json_file_util_test.cpp
  LIBS link)
