# What the two toolchain files share: the mingw-w64 cross compilers (posix
# threads variant) and windres for CMAKE_SYSTEM_PROCESSOR, with a clear
# message naming QV_MINGW_PACKAGE when one is missing, and the target's own
# libraries and headers.
set(CMAKE_SYSTEM_NAME Windows)

set(_prefix ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
find_program(QV_CC  ${_prefix}-gcc-posix)
find_program(QV_CXX ${_prefix}-g++-posix)
find_program(QV_RC  ${_prefix}-windres)
if(NOT QV_CC OR NOT QV_CXX OR NOT QV_RC)
  message(FATAL_ERROR "The ${_prefix} cross compilers (posix variant) or windres are missing; "
                      "run scripts/test.sh, which installs what is missing, or install ${QV_MINGW_PACKAGE}.")
endif()

set(CMAKE_C_COMPILER   ${QV_CC})
set(CMAKE_CXX_COMPILER ${QV_CXX})
set(CMAKE_RC_COMPILER  ${QV_RC})
set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
