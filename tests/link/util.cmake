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
    ${CMAKE_CURRENT_LIST_DIR}/registered_messages_test.cpp
  LIBS link)

# A second process that reports its registered message ids.
add_executable(link_util_message_ids ${CMAKE_CURRENT_LIST_DIR}/registered_message_ids_main.cpp)
target_link_libraries(link_util_message_ids PRIVATE link)
add_dependencies(link_util_tests link_util_message_ids)
target_compile_definitions(link_util_tests PRIVATE
  REGISTERED_MESSAGE_IDS_PROGRAM="$<TARGET_FILE:link_util_message_ids>")
