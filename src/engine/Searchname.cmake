# The name generator and the company-name proposals.
target_sources(torvik_engine PRIVATE
  "${CMAKE_CURRENT_LIST_DIR}/Searchname.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/Companynames.cpp")
target_link_libraries(torvik_engine PUBLIC torvik_dictionary torvik_strings)
