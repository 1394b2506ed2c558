# The case history's dialogs (Windows tree only).
torvik_library(torvik_cases_ui SOURCES
  Caseform.cpp
  FrmFenLei.cpp
  FrmClassEdit.cpp
  FrmSearch.cpp
  FrmInfo.cpp
  LIBS torvik_cases torvik_classlib_win)
