# Cross-compiles the 32-bit module and its tests with mingw-w64 (posix threads
# variant: the win32 variant of GCC 12 has no std::thread, which GoogleTest wants).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QV_MINGW_PACKAGE g++-mingw-w64-i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)

# ctest runs every test executable through the 32-bit Wine loader.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
