# The tools' pure models, portable and tested natively.
torvik_library(torvik_tools_core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MonthView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SurnameGame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberPicker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SurnameOrigins.cpp
  LIBS torvik_engine torvik_calendar torvik_strings torvik_classlib)
