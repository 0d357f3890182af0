# The service origin must be http[s]://host[:port]: the bridge obeys only
# frames of exactly this origin, so a text that is not one must stop the
# build rather than leave a rule that matches nothing or the wrong thing.
# Also runs as a script: cmake -DORIGIN=<text> -P ServiceOrigin.cmake
function(pelko_check_service_origin origin)
  string(REGEX MATCH "^[Hh][Tt][Tt][Pp][Ss]?://([A-Za-z0-9.-]+|\\[[0-9A-Fa-f:.]+\\])(:([0-9]+))?$" match "${origin}")
  set(port "${CMAKE_MATCH_3}")
  if(NOT match OR (NOT port STREQUAL "" AND (port LESS 1 OR port GREATER 65535)))
    message(FATAL_ERROR "PELKO_SERVICE_ORIGIN \"${origin}\" is not scheme://host[:port] "
                        "(http or https, no path, no trailing slash)")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED ORIGIN)
  pelko_check_service_origin("${ORIGIN}")
endif()
