# Libraries the platform implementations link against, per operating system.
if(NOT WIN32)
  find_package(PkgConfig QUIET)
  target_link_libraries(quenvale_platform PUBLIC rt)
endif()
