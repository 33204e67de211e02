# Device base class: page binding, LED frames on the key buttons, tabs, and the
# family interface's neutral operations. Shares the headless UI set-up of the
# device-control tests.
tavrik_test(link_device_tests LABEL link
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/corvane_usb_device_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../shell/device_ui_fixture.cpp
  LIBS link_device)
