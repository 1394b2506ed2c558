# The name generator and the company-name proposals.
# Their sources join torvik_engine through src/engine/Searchname.cmake; take it in here
# when the engine's own list does not.
get_target_property(engine_sources torvik_engine SOURCES)
if(NOT engine_sources MATCHES "Searchname\\.cpp")
  include("${TORVIK_SRC}/engine/Searchname.cmake")
endif()

# The native strings library archives two objects named StringTable.cpp.o, and the
# archive keeps only the generated table; the look-up comes in here until it keeps both.
set(searchname_strings)
if(NOT WIN32)
  set(searchname_strings "${TORVIK_SRC}/resources/StringTable.cpp")
endif()

torvik_test(engine_searchname_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/SearchnameTest.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/CompanynamesTest.cpp"
  ${searchname_strings}
  LIBS torvik_engine torvik_dictionary torvik_strings torvik_sqlite)

if(NOT WIN32)
  torvik_benchmark(engine_searchname_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/SearchnameBench.cpp" ${searchname_strings}
    LIBS torvik_engine torvik_dictionary torvik_strings)
  if(TARGET engine_searchname_bench)
    target_compile_definitions(engine_searchname_bench PRIVATE TORVIK_PROGRAM_DIR="${TORVIK_PROGRAM_DIR}")
    target_include_directories(engine_searchname_bench PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  endif()
endif()
