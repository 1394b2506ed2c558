target_sources(torvik_classlib_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/GlyphChecks.cpp)
target_link_libraries(torvik_classlib_win PUBLIC msimg32)
