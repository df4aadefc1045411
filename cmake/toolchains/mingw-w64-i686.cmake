# Cross build for i686 Windows with Debian's MinGW-w64 (g++-mingw-w64-i686).
# The posix thread model's compiler: std::thread and std::this_thread need it with GCC 12.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(HELIOX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${HELIOX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HELIOX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${HELIOX_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot only; programs (windres, the shell tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${HELIOX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in statically (libgcc, libstdc++, winpthread), so an .exe or .scr runs on a bare Windows
# and under Wine without the MinGW DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
