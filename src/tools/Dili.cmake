# The place editor of "dat\dili.ini" (Windows tree only).
if(WIN32)
  torvik_library(torvik_dili SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Udili.cpp
    LIBS torvik_cases torvik_classlib_win)
endif()
