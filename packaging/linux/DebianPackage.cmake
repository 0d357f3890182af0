# The Linux app as a Debian package, from the install rules in src/gtk:
# `cpack` in a release build (scripts/package-deb.sh makes one).

# A package is for users, so it must talk to the service itself: a build for
# any other origin (the demo's, a staging one) gets a `package` target that
# only says why not.
if(NOT PELKO_SERVICE_ORIGIN STREQUAL PELKO_RELEASE_SERVICE_ORIGIN)
  add_custom_target(package
    COMMAND ${CMAKE_COMMAND} -E echo "Not packaged: this build talks to ${PELKO_SERVICE_ORIGIN}, not to ${PELKO_RELEASE_SERVICE_ORIGIN}."
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
  return()
endif()

include(GNUInstallDirs)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pelko)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelko)
set(CPACK_PACKAGE_VERSION ${PELKO_VERSION})
set(CPACK_PACKAGE_VENDOR Pelko)
set(CPACK_PACKAGE_CONTACT "Pelko Desktop team <desktop@pelko.ai>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pelko in a window of its own")
# The summary above is the first line; this is what follows it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pelko Desktop keeps your Pelko conversations in their own window, one
keystroke away. Hold Ctrl+Shift+Space to talk and Pelko sends what you
said and reads its answer back to you; dictate into the conversation
without typing; files you download land in your Downloads folder.
.
Speech is recognised on your computer, not sent anywhere to be
transcribed.")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PELKO_RELEASE_SERVICE_ORIGIN})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries come from what the binary links (dpkg-shlibdeps); the speech
# model is data that no link names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS pocketsphinx-en-us)
# The microphone goes through a PulseAudio server, PipeWire's or PulseAudio's.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
