# The 81-number readings: on a stroke table of their own, and on a small dictionary file.
torvik_test(engine_numberread_tests SOURCES "${CMAKE_CURRENT_LIST_DIR}/NumberreadTest.cpp"
  LIBS torvik_engine torvik_strings torvik_sqlite)
