list(APPEND LINK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/effect_tables.cpp)
