# Profile documents of the four device kinds, light lists and effect files.
list(APPEND LINK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/profile_json.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/basic_profiledata.cpp
  ${CMAKE_CURRENT_LIST_DIR}/light_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keyboard_profiledata.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mouse_profiledata.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hs6533_profiledata.cpp)
