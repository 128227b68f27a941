# Cross-compiles for Windows (x86_64) with Debian's mingw-w64 (POSIX threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
