# HID device handle, command transaction and device command set.
tavrik_test(link_protocol_tests LABEL link
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/device_packet_test.cpp
  LIBS link)
