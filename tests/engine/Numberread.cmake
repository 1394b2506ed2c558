# The 81-number readings: on a stroke table of their own, and on a small dictionary file.
# Under Windows the texts come from the string-table resource linked into the test.
get_property(numberread_rc GLOBAL PROPERTY TORVIK_STRINGTABLE_RC)
torvik_test(engine_numberread_tests SOURCES "${CMAKE_CURRENT_LIST_DIR}/NumberreadTest.cpp" ${numberread_rc}
  LIBS torvik_engine torvik_strings torvik_sqlite)
