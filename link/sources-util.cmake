# Device identity and tables, registered messages, shared utilities, data
# folders and the log file.
list(APPEND LINK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/text_encoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/string_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/json_read.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time_id.cpp
  ${CMAKE_CURRENT_LIST_DIR}/json_file_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_folders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/macro_event_pack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hid_device_slot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/debug_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_worker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registered_messages.cpp)

