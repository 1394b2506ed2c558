# The name generator and the company-name proposals.
torvik_test(engine_searchname_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/SearchnameTest.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/CompanynamesTest.cpp"
  LIBS torvik_engine torvik_dictionary torvik_strings torvik_sqlite)

if(NOT WIN32)
  torvik_benchmark(engine_searchname_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/SearchnameBench.cpp"
    LIBS torvik_engine torvik_dictionary torvik_strings)
  if(TARGET engine_searchname_bench)
    target_compile_definitions(engine_searchname_bench PRIVATE TORVIK_PROGRAM_DIR="${TORVIK_PROGRAM_DIR}")
    target_include_directories(engine_searchname_bench PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  endif()
endif()
