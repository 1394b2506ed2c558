# The main window's skin menu.
torvik_test(ui_skinmenu_tests SOURCES
  SkinMenuTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_skinmenu_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_skinmenu_tests torvik_data)
# It reads skin colours back from the screen: no other suite's window may cover them.
set_tests_properties(ui_skinmenu_tests PROPERTIES RUN_SERIAL TRUE)
