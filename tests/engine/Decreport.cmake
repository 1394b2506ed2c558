# The analyser's report: golden texts natively, and the string table it reads.
# Under Windows the texts come from the string-table resource linked into the test.
get_property(report_rc GLOBAL PROPERTY TORVIK_STRINGTABLE_RC)
torvik_test(engine_report_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/DecreportTest.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/DecreportTextsTest.cpp"
  ${report_rc}
  LIBS torvik_engine torvik_strings torvik_sqlite)
