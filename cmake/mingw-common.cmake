# Shared part of the MinGW-w64 cross toolchains: the Win32 thread model
# (no winpthread DLL, which keeps the exe loadable on Windows XP) and the
# target's own headers and libraries. VELMORA_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${VELMORA_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${VELMORA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
