# Shared by both MinGW toolchains. The -posix compilers give std::mutex, which
# GoogleTest needs.
set(CMAKE_C_COMPILER ${TRACEWICK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRACEWICK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRACEWICK_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRACEWICK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the programs must load with system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
