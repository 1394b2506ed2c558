# The list-input and help windows, driven under Wine.
if(WIN32 AND TARGET torvik_strlist)
  torvik_test(tools_strlist_tests SOURCES
    "${CMAKE_CURRENT_LIST_DIR}/StrlistTest.cpp"
    "${PROJECT_SOURCE_DIR}/tests/support/Gui.cpp"
    LIBS torvik_strlist gdiplus)
  target_compile_definitions(tools_strlist_tests PRIVATE TORVIK_SCREENSHOT_DIR="screenshots")
endif()
