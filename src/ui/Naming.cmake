# The naming pages' dialogs.
target_sources(torvik_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Untpianpang.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Usetname.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Untcontaintext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Untsyong.cpp)
