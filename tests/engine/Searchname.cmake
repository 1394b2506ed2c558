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

# Under Windows the same runs are timed by a plain program (not a test): run it with
# scripts/wine-run build/windows/tests-bin/engine_searchname_timing.exe
if(WIN32)
  add_executable(engine_searchname_timing "${CMAKE_CURRENT_LIST_DIR}/SearchnameTiming.cpp")
  target_include_directories(engine_searchname_timing PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_compile_definitions(engine_searchname_timing PRIVATE TORVIK_PROGRAM_DIR="${TORVIK_PROGRAM_DIR}")
  target_link_libraries(engine_searchname_timing PRIVATE torvik_engine torvik_dictionary torvik_strings torvik_sqlite psapi)
  torvik_warnings(engine_searchname_timing)
endif()
