# The main window's controls in each skin, read back from the screen under the real mouse.
torvik_test(ui_skincontrols_tests SOURCES
  SkinControlsTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_skincontrols_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_skincontrols_tests torvik_data)
set_tests_properties(ui_skincontrols_tests PROPERTIES RUN_SERIAL TRUE)
