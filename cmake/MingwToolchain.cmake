# Shared part of the mingw-w64 toolchain files: Debian's cross compilers with
# POSIX threads for CMAKE_SYSTEM_PROCESSOR, set by the including file.
set(CMAKE_SYSTEM_NAME Windows)
set(QVL_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${QVL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QVL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QVL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QVL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs need nothing beside themselves but Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The C library of mingw-w64 formats like the GNU one (%zu, %lld).
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
