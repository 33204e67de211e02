# HID device handle, command transaction and device command set.
set(_protocol_tests ${CMAKE_CURRENT_LIST_DIR}/device_packet_test.cpp)
set(_protocol_libs link)
# The handle and channel tests run against the device emulator.
if(TARGET devsim)
  list(APPEND _protocol_tests
    ${CMAKE_CURRENT_LIST_DIR}/hid_device_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_protocol_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screen_upload_test.cpp)
  list(APPEND _protocol_libs devsim)
endif()
tavrik_test(link_protocol_tests LABEL link SOURCES ${_protocol_tests} LIBS ${_protocol_libs})
