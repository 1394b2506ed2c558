# The main menu opens the tool windows.
target_link_libraries(torvik_ui PUBLIC torvik_tools torvik_dili torvik_strlist)
