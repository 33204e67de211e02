# HID device handle, command packet and transaction, device command set.
list(APPEND LINK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/device_packet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paged_packet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/long_wait_flag.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hid_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hid_enumeration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unpack_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_transact.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_paged.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_protocol_screen.cpp)

# The handle and the channel sit on the OS and HID layers; the library is
# created after the fragments are read, so the link is added at the end of
# this folder.
cmake_language(DEFER CALL _tavrik_link_protocol_deps)
function(_tavrik_link_protocol_deps)
  foreach(dep tavrik_os platform_hid)
    if(TARGET ${dep} AND TARGET link)
      target_link_libraries(link PUBLIC ${dep})
    endif()
  endforeach()
endfunction()
