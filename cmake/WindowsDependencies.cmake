# Libraries of the Windows builds, made from Debian's own files: Boost's
# header-only parts and SimpleIni through a folder of links (so /usr/include
# as a whole stays out of the cross build), pugixml and GoogleTest compiled
# from Debian's sources with the cross toolchain.
set(QVL_DEPS_DIR ${CMAKE_SOURCE_DIR}/build/deps CACHE PATH "Sources fetched by tools/fetch-pugixml.sh (pugixml)")

set(qvl_headers ${CMAKE_BINARY_DIR}/deps-include)
file(MAKE_DIRECTORY ${qvl_headers})
file(CREATE_LINK /usr/include/boost ${qvl_headers}/boost SYMBOLIC)
file(CREATE_LINK /usr/include/SimpleIni.h ${qvl_headers}/SimpleIni.h SYMBOLIC)
add_library(Boost::headers INTERFACE IMPORTED)
target_include_directories(Boost::headers SYSTEM INTERFACE ${qvl_headers})

file(GLOB qvl_pugixml_dirs ${QVL_DEPS_DIR}/pugixml-*/src)
if(NOT qvl_pugixml_dirs)
  message(STATUS "Fetching Debian's pugixml sources into ${QVL_DEPS_DIR}")
  execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/tools/fetch-pugixml.sh ${QVL_DEPS_DIR} RESULT_VARIABLE fetched)
  file(GLOB qvl_pugixml_dirs ${QVL_DEPS_DIR}/pugixml-*/src)
  if(NOT qvl_pugixml_dirs)
    message(FATAL_ERROR "pugixml sources missing in ${QVL_DEPS_DIR} (tools/fetch-pugixml.sh: ${fetched})")
  endif()
endif()
list(GET qvl_pugixml_dirs 0 qvl_pugixml_src)
add_library(qvl_pugixml STATIC ${qvl_pugixml_src}/pugixml.cpp)
target_include_directories(qvl_pugixml SYSTEM PUBLIC ${qvl_pugixml_src})
target_compile_options(qvl_pugixml PRIVATE -w)
add_library(pugixml::pugixml ALIAS qvl_pugixml)

if(QVL_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib gtest gtest_main gmock gmock_main)
    target_compile_options(${lib} PRIVATE -w)
  endforeach()
endif()
