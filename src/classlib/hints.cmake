target_sources(torvik_classlib_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Hints.cpp)
target_sources(torvik_classlib_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Buttons.cpp)
