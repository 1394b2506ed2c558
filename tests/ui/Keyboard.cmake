# Real keys through SendInput into whatever has the keyboard: the focus must be this test's own.
torvik_test(ui_keyboard_tests SOURCES
  KeyboardTest.cpp
  DialogKeysTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui torvik_editdict torvik_dili gdiplus)
target_compile_definitions(ui_keyboard_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_keyboard_tests torvik_data)
set_tests_properties(ui_keyboard_tests PROPERTIES RUN_SERIAL TRUE)
