# The list-input window of the 81-number tools and the help window (Windows tree only).
if(WIN32)
  torvik_library(torvik_strlist SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Ustrlist.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Utxthelp.cpp
    LIBS torvik_classlib_win)
endif()
