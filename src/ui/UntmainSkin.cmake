# The main window's skin component and skin menu.
target_sources(torvik_ui PRIVATE "${CMAKE_CURRENT_LIST_DIR}/UntmainSkin.cpp")
target_link_libraries(torvik_ui PUBLIC torvik_skin_win)
