# Packs the program folder as shipped into a zip that a user unpacks and runs: one folder
# "Torvik" holding Torvik.exe and the generated data, and nothing else that lies beside them.
#   cmake -DDIST=build/native/dist -DPROGRAM=build/windows/bin -DZIP=build/windows/Torvik.zip -P MakeZip.cmake
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE files RELATIVE "${DIST}" "${DIST}/*")
if(NOT files)
  message(FATAL_ERROR "no generated files in ${DIST}")
endif()
set(stage "${ZIP}.stage")
file(REMOVE_RECURSE "${stage}")
foreach(f IN LISTS files ITEMS Torvik.exe)
  get_filename_component(dir "${stage}/Torvik/${f}" DIRECTORY)
  file(COPY "${PROGRAM}/${f}" DESTINATION "${dir}")
endforeach()
# Written under another name first: a failed run leaves the last good zip, never half a one.
# Names are stored as UTF-8 (flagged so, as Windows reads them): the packer needs a UTF-8 locale.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
                        ${CMAKE_COMMAND} -E tar cf "${ZIP}.part" --format=zip Torvik
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE rc)
file(REMOVE_RECURSE "${stage}")
if(NOT rc EQUAL 0)
  file(REMOVE "${ZIP}.part")
  message(FATAL_ERROR "could not pack ${PROGRAM} into ${ZIP}")
endif()
file(RENAME "${ZIP}.part" "${ZIP}")
