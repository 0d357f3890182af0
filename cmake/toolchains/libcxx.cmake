# The Mac's C++ library on Linux: clang 16 and libc++ 16, the LLVM release
# Apple's Xcode 15 clang is based on (Apple's libc++ lags upstream, so
# nothing newer). Builds the core, the helper and the unit tests the way a
# Mac's toolchain sees them; GoogleTest is built from its sources with it.
set(CMAKE_C_COMPILER clang-16)
set(CMAKE_CXX_COMPILER clang++-16)
set(CMAKE_CXX_FLAGS_INIT "-stdlib=libc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-stdlib=libc++")
set(PELKO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "")
