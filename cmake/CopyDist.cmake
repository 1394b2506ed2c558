# Copies the native tree's dist folder (generated data) into the Windows program folder.
if(NOT IS_DIRECTORY "${SRC}")
  message(WARNING "no generated data at ${SRC}: build the native tree first")
  return()
endif()
file(COPY "${SRC}/" DESTINATION "${DST}")
