# Cross-compiles the 32-bit module and its tests with mingw-w64 (posix threads
# variant: the win32 variant of GCC 12 has no std::thread, which GoogleTest wants).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(_prefix i686-w64-mingw32)
find_program(QV_CC  ${_prefix}-gcc-posix)
find_program(QV_CXX ${_prefix}-g++-posix)
find_program(QV_RC  ${_prefix}-windres)
if(NOT QV_CC OR NOT QV_CXX OR NOT QV_RC)
  message(FATAL_ERROR "The ${_prefix} cross compilers (posix variant) or windres are missing; "
                      "run scripts/test.sh, which installs what is missing, or install g++-mingw-w64-i686.")
endif()

set(CMAKE_C_COMPILER   ${QV_CC})
set(CMAKE_CXX_COMPILER ${QV_CXX})
set(CMAKE_RC_COMPILER  ${QV_RC})
set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs every test executable through the 32-bit Wine loader.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
