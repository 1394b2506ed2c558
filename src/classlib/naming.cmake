target_sources(torvik_classlib_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ListView.cpp ${CMAKE_CURRENT_LIST_DIR}/RadioGroup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Grids.cpp)
