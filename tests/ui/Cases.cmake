# The case history through the main window.
torvik_test(ui_cases_tests SOURCES
  CaseMenuTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_cases_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_cases_tests torvik_data)
