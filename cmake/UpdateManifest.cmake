# Where the application reads its update manifest. A path (/desktop-latest.json)
# is on the service origin; an http(s) URL stands for itself. Anything else
# stops the build rather than give an application that can never learn of an
# update. Also runs as a script: cmake -DMANIFEST=<text> -P UpdateManifest.cmake

# The default for the platform being built: the macOS application's manifest,
# or the Linux package's for the Debian architecture its package is built for.
function(pelko_default_update_manifest variable)
  if(APPLE)
    set(${variable} "/desktop-latest.json" PARENT_SCOPE)
    return()
  endif()
  find_program(PELKO_DPKG dpkg)
  if(PELKO_DPKG)
    execute_process(COMMAND ${PELKO_DPKG} --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT arch)
    string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" arch)
    string(REPLACE "x86_64" "amd64" arch "${arch}")
    string(REPLACE "aarch64" "arm64" arch "${arch}")
  endif()
  set(${variable} "/desktop-latest-linux-${arch}.json" PARENT_SCOPE)
endfunction()

function(pelko_check_update_manifest manifest)
  if(NOT manifest MATCHES "^/[^ ]+$" AND NOT manifest MATCHES "^[Hh][Tt][Tt][Pp][Ss]?://[^/ ]+/[^ ]*$")
    message(FATAL_ERROR "PELKO_UPDATE_MANIFEST \"${manifest}\" is neither a path on the service origin "
                        "(/desktop-latest.json) nor an http(s) URL")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED MANIFEST)
  pelko_check_update_manifest("${MANIFEST}")
endif()
