#The dictionary editor window(Windows tree only).
torvik_library(torvik_editdict SOURCES ${CMAKE_CURRENT_LIST_DIR} /
               Editdict.cpp LIBS torvik_dictionary torvik_classlib_win)
