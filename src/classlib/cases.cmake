# The input box and the folder browser of the case history's commands.
target_sources(torvik_classlib_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/InputBox.cpp ${CMAKE_CURRENT_LIST_DIR}/FolderDialog.cpp)
target_link_libraries(torvik_classlib_win PUBLIC ole32)
