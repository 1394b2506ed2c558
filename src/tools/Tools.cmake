# The tools' pure models, portable and tested natively.
torvik_library(torvik_tools_core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MonthView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SurnameGame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberPicker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SurnameOrigins.cpp
  LIBS torvik_engine torvik_calendar torvik_strings torvik_classlib)

if(WIN32)
  # The surname-origin text is kept as UTF-8; the program reads it as GBK from the
  # RCDATA resource "BJX". Programs linking torvik_tools compile the resource script.
  set(bjx_text "${CMAKE_CURRENT_LIST_DIR}/../resources/bjx/bjx.txt")
  set(bjx_gbk "${CMAKE_CURRENT_BINARY_DIR}/bjx.gbk")
  add_custom_command(OUTPUT "${bjx_gbk}"
    COMMAND iconv -f UTF-8 -t GBK "${bjx_text}" -o "${bjx_gbk}"
    DEPENDS "${bjx_text}"
    COMMENT "Surname origins in GBK")
  add_custom_target(torvik_bjx_gbk DEPENDS "${bjx_gbk}")
  file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/Bjx.rc" "BJX RCDATA \"${bjx_gbk}\"\n")

  torvik_library(torvik_tools SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Ubjx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Uchoicenum.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Upicknumber.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Utestname.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Untwnl.cpp
    LIBS torvik_tools_core torvik_classlib_win)
  add_dependencies(torvik_tools torvik_bjx_gbk)
  target_sources(torvik_tools INTERFACE "${CMAKE_CURRENT_BINARY_DIR}/Bjx.rc")
endif()
