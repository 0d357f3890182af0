# Fails when a Mach-O binary links a library that macOS does not ship: a
# Mac without it (any user's) could not start the program. Run as
#   cmake -DBINARY=<file> [-DOTOOL=<otool>] -P CheckSystemLinks.cmake
# `otool -L` lists the libraries of each architecture of a universal binary;
# only /usr/lib and /System/Library are part of the system (a Homebrew
# libcurl under /opt/homebrew or /usr/local, an @rpath framework, are not).
if(NOT DEFINED BINARY)
  message(FATAL_ERROR "CheckSystemLinks: BINARY is not set")
endif()
if(NOT DEFINED OTOOL)
  set(OTOOL otool)
endif()

execute_process(COMMAND ${OTOOL} -L ${BINARY}
  OUTPUT_VARIABLE listing ERROR_VARIABLE problem RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "CheckSystemLinks: ${OTOOL} -L ${BINARY} failed: ${problem}")
endif()

set(outside "")
set(libraries 0)
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  # Library lines are indented: "\t/usr/lib/libc++.1.dylib (compatibility version ...)".
  if(NOT line MATCHES "^[ \t]+([^ \t].*) \\(compatibility version")
    continue()
  endif()
  set(library "${CMAKE_MATCH_1}")
  math(EXPR libraries "${libraries} + 1")
  if(NOT library MATCHES "^/usr/lib/" AND NOT library MATCHES "^/System/Library/")
    list(APPEND outside "${library}")
  endif()
endforeach()

if(libraries EQUAL 0)
  message(FATAL_ERROR "CheckSystemLinks: ${OTOOL} -L listed no library for ${BINARY}")
endif()
if(outside)
  list(REMOVE_DUPLICATES outside)
  list(JOIN outside "\n  " shown)
  message(FATAL_ERROR "${BINARY} links libraries that are not part of macOS:\n  ${shown}\n"
                      "Build against the SDK's libraries only.")
endif()
