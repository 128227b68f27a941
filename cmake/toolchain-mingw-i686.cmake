# Cross-compiles for Windows (i686) with Debian's mingw-w64 (POSIX threads).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
