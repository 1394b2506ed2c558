# The 81-number readings, with a stroke look-up of their own (no dictionary file).
torvik_test(engine_numberread_tests SOURCES "${CMAKE_CURRENT_LIST_DIR}/NumberreadTest.cpp"
  LIBS torvik_engine torvik_strings)
