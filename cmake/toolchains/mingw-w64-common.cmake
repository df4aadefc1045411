# What both MinGW-w64 cross builds share; the toolchain file of each processor sets CMAKE_SYSTEM_PROCESSOR
# and HELIOX_MINGW_TRIPLE, then includes this.
# The posix thread model's compiler: std::thread and std::this_thread need it with GCC 12.
set(CMAKE_SYSTEM_NAME Windows)

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
