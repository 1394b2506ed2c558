# The skinned menu bar of the main window, driven by real mouse and key input.
torvik_test(ui_skinnedbar_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/SkinnedBarTest.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_skinnedbar_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_skinnedbar_tests torvik_data)
# It moves the shared mouse and needs the focus.
set_tests_properties(ui_skinnedbar_tests PROPERTIES RUN_SERIAL TRUE)
