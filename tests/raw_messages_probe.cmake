# Only the editor's view classes (editor/) talk to the editing control in its raw messages;
# every other part of the program goes through the operations they offer. Run with
# -DSOURCE_DIR=<repository root>; fails naming each file that sends a raw message. Tests and
# benchmarks probe the control itself and are not looked at.
file(GLOB tops LIST_DIRECTORIES true "${SOURCE_DIR}/*")
set(offenders "")
foreach(top ${tops})
  get_filename_component(name "${top}" NAME)
  if(NOT IS_DIRECTORY "${top}" OR name MATCHES "^(\\.|editor$|tests$|bench$)"
     OR EXISTS "${top}/CMakeCache.txt")
    continue()
  endif()
  file(GLOB_RECURSE sources "${top}/*.cpp" "${top}/*.h")
  foreach(source ${sources})
    file(STRINGS "${source}" hits REGEX "SendScintilla")
    if(hits)
      file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
      list(APPEND offenders "${shown}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " listed)
  message(FATAL_ERROR "Raw control messages outside editor/:\n  ${listed}")
endif()
message(STATUS "No raw control messages outside editor/")
