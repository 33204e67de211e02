# Device identity and tables, registered messages, shared utilities and the log.
tavrik_test(link_util_tests LABEL link
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/json_file_util_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/json_read_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_encoding_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/string_util_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid_device_slot_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/data_folders_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/debug_log_test.cpp
  LIBS link)
