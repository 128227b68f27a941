# Libraries the platform implementations link against, per operating system.
if(NOT WIN32)
  find_package(PkgConfig QUIET)
  find_package(CURL REQUIRED)
  find_package(OpenSSL REQUIRED)
  target_link_libraries(quenvale_platform PUBLIC rt ${CMAKE_DL_LIBS} CURL::libcurl OpenSSL::SSL OpenSSL::Crypto)
endif()
