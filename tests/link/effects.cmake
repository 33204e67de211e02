tavrik_test(link_effects_tests LABEL link
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/effect_tables_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/effect_key_tables_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/led_state_test.cpp
  LIBS link)
