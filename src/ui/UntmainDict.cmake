# The dictionary page's list input, and the dictionary editor of the tools menu.
target_link_libraries(torvik_ui PUBLIC torvik_strlist torvik_editdict)
