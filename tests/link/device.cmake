# Device base class: page binding, LED frames on the key buttons, tabs, and the
# family interface's neutral operations. Shares the headless UI set-up of the
# device-control tests.
set(_device_tests ${CMAKE_CURRENT_LIST_DIR}/corvane_usb_device_test.cpp)
set(_device_libs tavrik_device_ui_fixture link_device)
# What the base sends on its command channel, against the device emulator.
if(TARGET devsim)
  list(APPEND _device_tests ${CMAKE_CURRENT_LIST_DIR}/corvane_usb_device_channel_test.cpp)
  list(APPEND _device_libs devsim)
endif()
tavrik_test(link_device_tests LABEL link SOURCES ${_device_tests} LIBS ${_device_libs})
