# Libraries the platform implementations link against, per operating system.
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  find_package(CURL REQUIRED)
  find_package(OpenSSL REQUIRED)
  pkg_check_modules(CANBERRA REQUIRED IMPORTED_TARGET libcanberra)
  target_link_libraries(quenvale_platform PUBLIC rt ${CMAKE_DL_LIBS} CURL::libcurl OpenSSL::SSL OpenSSL::Crypto PkgConfig::CANBERRA)
endif()
if(WIN32)
  target_link_libraries(quenvale_platform PUBLIC winhttp crypt32 secur32 ws2_32 shell32 winmm user32 gdi32 comctl32)
  # Winsock 2 must come before windows.h, which the other files of a unity batch include.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/platform/win32/TlsPeerCertificate.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/win32/Win32UdpNetwork.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/win32/Win32TcpNetwork.cpp
    TARGET_DIRECTORY quenvale_platform PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endif()
