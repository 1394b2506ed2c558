# Windows tests of the case dialogs and the case tree.
torvik_test(cases_ui_tests SOURCES
  CaseDialogsTest.cpp
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_cases_ui gdiplus)
target_compile_definitions(cases_ui_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
torvik_test(cases_tree_tests SOURCES
  CasetreeTest.cpp
  "${PROJECT_SOURCE_DIR}/src/ui/Casetree.cpp"
  "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
  LIBS torvik_cases_ui gdiplus)
target_compile_definitions(cases_tree_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
