# The main window's pictures, size limits and resizing, driven and read back on the screen.
get_property(winitems_images_rc GLOBAL PROPERTY TORVIK_IMAGES_RC)
torvik_test(ui_winitems_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/WindowItemsTest.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  "${winitems_images_rc}"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_winitems_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_winitems_tests torvik_data)
# Real keys open the menus and the screen is read back: no other window may cover it.
set_tests_properties(ui_winitems_tests PROPERTIES RUN_SERIAL TRUE)
