torvik_test(ui_naming_tests SOURCES
  NamingDialogsTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_naming_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_naming_tests torvik_data)

torvik_test(ui_namingpage_tests SOURCES
  NamingPageTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_ui gdiplus)
target_compile_definitions(ui_namingpage_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
add_dependencies(ui_namingpage_tests torvik_data)
set_tests_properties(ui_namingpage_tests PROPERTIES RUN_SERIAL TRUE)
