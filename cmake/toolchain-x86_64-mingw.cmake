# Cross-compiles the 64-bit module and its tests with mingw-w64 (posix threads variant).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QV_MINGW_PACKAGE g++-mingw-w64-x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)

# The Debian wine wrapper prefers the 32-bit loader; 64-bit programs need wine64.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
