# The 81-number readings of numbers, company names and plates.
target_sources(torvik_engine PRIVATE "${CMAKE_CURRENT_LIST_DIR}/Numberread.cpp")
target_link_libraries(torvik_engine PUBLIC torvik_dictionary torvik_strings)
