# Installs the build into an empty prefix and checks what a user finds there:
# the program runs from it, the manual page is clean troff and documents every
# keyword --help lists, and the README comes with its picture and the examples.
# CTest runs it with -DBUILD_DIR= -DSOURCE_DIR= -DPREFIX=.
set(failures "")

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(doc ${PREFIX}/share/doc/korvel)
set(manual ${PREFIX}/share/man/man1/korvel.1)
foreach(path ${PREFIX}/bin/korvel ${manual} ${doc}/README.md ${doc}/docs/first-run.svg)
  if(NOT EXISTS ${path})
    string(APPEND failures "not installed: ${path}\n")
  endif()
endforeach()
file(GLOB examples RELATIVE ${SOURCE_DIR}/examples ${SOURCE_DIR}/examples/*)
foreach(example ${examples})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                  ${SOURCE_DIR}/examples/${example} ${doc}/examples/${example} RESULT_VARIABLE differs)
  if(differs)
    string(APPEND failures "example not installed whole: ${example}\n")
  endif()
endforeach()

# The installed copy runs on its own and is the program that was built.
execute_process(COMMAND ${PREFIX}/bin/korvel --version WORKING_DIRECTORY ${PREFIX}
                OUTPUT_VARIABLE installed RESULT_VARIABLE status)
execute_process(COMMAND ${BUILD_DIR}/korvel --version OUTPUT_VARIABLE built)
if(NOT status EQUAL 0 OR NOT installed MATCHES "^KORVEL version: " OR NOT installed STREQUAL built)
  string(APPEND failures "installed --version: exit ${status}, \"${installed}\"\n")
endif()

# A keyword that --help lists and the manual page does not is a manual
# page left behind by a change of the program.
execute_process(COMMAND ${PREFIX}/bin/korvel --help OUTPUT_VARIABLE help)
string(REGEX MATCHALL "[A-Za-z_]+=" keywords "${help}")
list(REMOVE_DUPLICATES keywords)
list(REMOVE_ITEM keywords "keyword=")
file(READ ${manual} page)
foreach(keyword ${keywords})
  if(NOT page MATCHES "(^|[^A-Za-z_])${keyword}")
    string(APPEND failures "keyword of --help missing in the manual page: ${keyword}\n")
  endif()
endforeach()

# groff warns of every macro, escape or font it does not know.
find_program(GROFF groff)
if(GROFF)
  execute_process(COMMAND ${GROFF} -man -ww -z -Tutf8 ${manual} ERROR_VARIABLE warnings RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    string(APPEND failures "groff on the manual page: ${warnings}\n")
  endif()
endif()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${failures}")
endif()
