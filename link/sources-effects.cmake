list(APPEND LINK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/effect_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/led_state.cpp)
list(APPEND LINK_SOURCES ${CMAKE_CURRENT_LIST_DIR}/effect_key_tables.cpp)
list(APPEND LINK_SOURCES ${CMAKE_CURRENT_LIST_DIR}/sync_light_state.cpp)
list(APPEND LINK_SOURCES ${CMAKE_CURRENT_LIST_DIR}/keyboard_effect_tables.cpp)
