# The analyser's report in a rich edit, with the string table linked in as Torvik.exe has it.
get_property(reportview_rc GLOBAL PROPERTY TORVIK_STRINGTABLE_RC)
torvik_test(ui_reportview_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/ReportviewTest.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  "${reportview_rc}"
  LIBS torvik_ui torvik_sqlite gdiplus)
target_compile_definitions(ui_reportview_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
