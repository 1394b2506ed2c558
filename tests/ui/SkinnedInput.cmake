# The birth-data dialog under a skin, with the real mouse.
torvik_test(ui_skinned_input_tests SOURCES
  SkinnedInputTest.cpp
  SkinnedQiMingTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui torvik_skin_win gdiplus)
target_compile_definitions(ui_skinned_input_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_skinned_input_tests torvik_data)
if(TARGET torvik_skins)
  add_dependencies(ui_skinned_input_tests torvik_skins)
endif()
set_tests_properties(ui_skinned_input_tests PROPERTIES RUN_SERIAL TRUE)
