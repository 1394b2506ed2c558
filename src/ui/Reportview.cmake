#The report view the analyser writes into.
target_sources(torvik_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR} / Reportview.cpp)
