# HID device handle, command packet and transaction, device command set.
list(APPEND LINK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/device_packet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paged_packet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/long_wait_flag.cpp)
