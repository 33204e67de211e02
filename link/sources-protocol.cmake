# HID device handle, command packet and transaction, device command set.
list(APPEND LINK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/device_packet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paged_packet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hid_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hid_enumeration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unpack_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/channel_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_transact.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_paged.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_screen.cpp)

