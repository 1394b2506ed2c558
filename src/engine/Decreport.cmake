# The report writer of the analyser, with the string table it reads.
target_sources(torvik_engine PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Decreport.cpp)
target_link_libraries(torvik_engine PUBLIC torvik_strings)
