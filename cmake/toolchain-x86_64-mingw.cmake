# Cross-compiles the 64-bit module and its tests with mingw-w64 (posix threads variant).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_prefix x86_64-w64-mingw32)
find_program(QV_CC  ${_prefix}-gcc-posix)
find_program(QV_CXX ${_prefix}-g++-posix)
find_program(QV_RC  ${_prefix}-windres)
if(NOT QV_CC OR NOT QV_CXX OR NOT QV_RC)
  message(FATAL_ERROR "The ${_prefix} cross compilers (posix variant) or windres are missing; "
                      "run scripts/test.sh, which installs what is missing, or install g++-mingw-w64-x86-64.")
endif()

set(CMAKE_C_COMPILER   ${QV_CC})
set(CMAKE_CXX_COMPILER ${QV_CXX})
set(CMAKE_RC_COMPILER  ${QV_RC})
set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The Debian wine wrapper prefers the 32-bit loader; 64-bit programs need wine64.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
