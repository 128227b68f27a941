# Libraries the platform implementations link against, per operating system.
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  find_package(CURL REQUIRED)
  find_package(OpenSSL REQUIRED)
  pkg_check_modules(CANBERRA REQUIRED IMPORTED_TARGET libcanberra)
  target_link_libraries(quenvale_platform PUBLIC rt ${CMAKE_DL_LIBS} CURL::libcurl OpenSSL::SSL OpenSSL::Crypto PkgConfig::CANBERRA)
endif()
