tavrik_test(link_profile_tests LABEL link
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/profile_document_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/profile_kinds_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/light_list_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record_layout_test.cpp
  LIBS tavrik_profile_test_files link)
# The tests read the shipped default documents beside the test program.
if(TARGET tavrik_default_data)
  add_dependencies(link_profile_tests tavrik_default_data)
endif()
