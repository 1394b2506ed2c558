#The case tree and the case commands of the main window.
target_sources(torvik_ui PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/Casetree.cpp")
    target_link_libraries(torvik_ui PUBLIC torvik_cases_ui)
