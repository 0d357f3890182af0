# The macOS build, configured and generated on Linux: no Mac runs this
# project's CI, yet the CMake under if(APPLE) must not rot. Debian's clang
# targets Darwin; nothing is built, only the build graph and the generated
# files are read (tests/mac/check-mac-build.py).
#   cmake -S . -B build/mac-check -G Ninja --toolchain cmake/toolchains/darwin.cmake
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_VERSION 20.4)  # the Darwin of macOS 11.3
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(CMAKE_C_COMPILER /usr/bin/clang-16)
set(CMAKE_CXX_COMPILER /usr/bin/clang++-16)
set(CMAKE_OBJCXX_COMPILER /usr/bin/clang++-16)
# Linking needs Apple's linker and SDK: CMake's compiler checks stop at objects.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# Stand-ins for the tools only a Mac has, named after them, so that the
# generated commands read as on a Mac; each fails if it is ever run.
set(_stand_ins ${CMAKE_BINARY_DIR}/apple-stand-ins)
foreach(tool codesign ditto hdiutil otool install_name_tool)
  if(NOT EXISTS ${_stand_ins}/${tool})
    file(WRITE ${_stand_ins}/${tool} "#!/bin/sh\necho '${tool} runs only on a Mac' >&2\nexit 1\n")
    file(CHMOD ${_stand_ins}/${tool} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  endif()
endforeach()
set(CMAKE_PROGRAM_PATH ${_stand_ins})
set(CMAKE_INSTALL_NAME_TOOL ${_stand_ins}/install_name_tool)

# GoogleTest through its CMake package: the module's search for the
# library files looks for Darwin's names and misses Debian's.
file(GLOB _gtest_config /usr/lib/*/cmake/GTest/GTestConfig.cmake)
if(_gtest_config)
  list(GET _gtest_config 0 _gtest_config)
  get_filename_component(GTest_DIR ${_gtest_config} DIRECTORY)
endif()
