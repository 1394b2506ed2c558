# The analyser's report: golden texts natively, and the string table it reads.
torvik_test(engine_report_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/DecreportTest.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/DecreportTextsTest.cpp"
  LIBS torvik_engine torvik_strings torvik_sqlite)
