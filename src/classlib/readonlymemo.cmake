target_sources(torvik_classlib_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ReadOnlyMemo.cpp)
