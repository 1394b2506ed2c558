# The main window's menus and the report views' commands, driven through the real window.
torvik_test(ui_menus_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/MenusTest.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_menus_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_menus_tests torvik_data)
