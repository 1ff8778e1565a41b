# Cross-compiling for 64-bit Windows with the MinGW-w64 tool chain (Debian: g++-mingw-w64-x86-64).
# The posix thread model is preferred: Qt for Windows is built with it (GCC 12's win32 model has
# no std::thread), and the program must link the same C++ runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
find_program(MINGW_POSIX_CXX ${MINGW_PREFIX}-g++-posix)
if(MINGW_POSIX_CXX)
    set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
    set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
else()
    set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc)
    set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++)
endif()
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
# Qt for Windows lives outside the system root: CMAKE_PREFIX_PATH names it.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Qt's translation tools are programs of the build machine, from its own Qt 5.
if(NOT Qt5LinguistTools_DIR)
    file(GLOB buildMachineLinguistTools /usr/lib/*-linux-gnu/cmake/Qt5LinguistTools)
    set(Qt5LinguistTools_DIR ${buildMachineLinguistTools} CACHE PATH "The build machine's Qt5LinguistTools")
endif()
