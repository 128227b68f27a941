# The suites of the Windows build, run under Wine by tools/wine-tests.sh: the
# same test sources as on Linux, less those that need what only Linux has
# here (the GTK window, the stand-in simulator programs and libraries, the
# service's SQLite store in-process). Paths of the build machine reach the
# programs through Wine's drive Z:.
set(QVL_HOST_PREFIX "Z:")

file(GLOB_RECURSE QVL_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
list(FILTER QVL_TEST_SUPPORT EXCLUDE REGEX
  "/(environment/TestEnvironment|OutputPipeSpawn|SimProcess|ClientProgram|SimConnectStandIn|FsuipcTestDirectory|ServiceProcess)\\.cpp$")
set(QVL_TEST_ENVIRONMENT ${CMAKE_CURRENT_SOURCE_DIR}/support/environment/TestEnvironment.cpp)
add_library(qvl_test_support STATIC ${QVL_TEST_SUPPORT})
target_include_directories(qvl_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qvl_test_support PUBLIC quenvale_platform quenvale_core GTest::gtest GTest::gmock)
target_precompile_headers(qvl_test_support PUBLIC <gtest/gtest.h> <gmock/gmock.h> <string> <vector> <memory>)

file(GLOB_RECURSE QVL_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/unit/*.cpp)
# Tests of the Linux implementations themselves.
list(FILTER QVL_UNIT_TESTS EXCLUDE REGEX "/unit/platform/SoundOutputTest\\.cpp$")
add_executable(unit_tests ${QVL_UNIT_TESTS} ${QVL_TEST_ENVIRONMENT})
target_link_libraries(unit_tests PRIVATE qvl_test_support quenvale_app GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE QVL_SOURCE_DIR="${QVL_HOST_PREFIX}${CMAKE_SOURCE_DIR}")

set(QVL_INTEGRATION_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/integration/service/ServiceFaultsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/integration/report/BackupKillTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/integration/update/UpdateDownloadTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/WindowsSystemTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/ServiceProcessWine.cpp)
add_executable(integration_tests ${QVL_INTEGRATION_TESTS} ${QVL_TEST_ENVIRONMENT})
target_link_libraries(integration_tests PRIVATE qvl_test_support GTest::gtest_main ws2_32)
target_include_directories(integration_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/windows)
target_compile_definitions(integration_tests PRIVATE
  QVL_SOURCE_DIR="${QVL_HOST_PREFIX}${CMAKE_SOURCE_DIR}" QVL_BINARY_DIR="${QVL_HOST_PREFIX}${CMAKE_BINARY_DIR}")

add_executable(backup_autosaver ${CMAKE_CURRENT_SOURCE_DIR}/tools/BackupAutosaver.cpp)
target_link_libraries(backup_autosaver PRIVATE qvl_test_support)
add_dependencies(integration_tests backup_autosaver)

add_executable(platform_probe ${CMAKE_CURRENT_SOURCE_DIR}/tools/PlatformProbe.cpp)
target_link_libraries(platform_probe PRIVATE quenvale_platform quenvale_core)
add_dependencies(integration_tests platform_probe)

# --- The simulator links on Windows and the whole flight: the module window of
# the Windows qvl-sim, the stand-in SimConnect.dll, the Windows client program.
add_executable(simulator_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/ChildProcessWin32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/WindowsLinkFaultTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/WindowsFlightTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/ServiceProcessWine.cpp
  ${CMAKE_SOURCE_DIR}/resources/windows/quenvale.rc
  ${QVL_TEST_ENVIRONMENT})
target_link_libraries(simulator_tests PRIVATE qvl_test_support GTest::gtest_main ws2_32)
# The program's manifest too, with no assembly beside the test program: the
# loading path that finds the simulator library missing.
target_include_directories(simulator_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/windows ${QVL_MANIFEST_DIR}
  ${QVL_RESOURCE_BUILD_DIR} ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(simulator_tests PRIVATE
  QVL_SOURCE_DIR="${QVL_HOST_PREFIX}${CMAKE_SOURCE_DIR}" QVL_BINARY_DIR="${QVL_HOST_PREFIX}${CMAKE_BINARY_DIR}")
add_dependencies(simulator_tests qvl-sim quenvale SimConnect quenvale_resources)

# The Win32 window on the X display the script starts for Wine; the program's
# resources (skin, outline, icon, menus) are compiled into it.
add_executable(win32_window_tests ${CMAKE_CURRENT_SOURCE_DIR}/windows/Win32WindowTest.cpp
  ${CMAKE_SOURCE_DIR}/resources/windows/quenvale.rc ${QVL_TEST_ENVIRONMENT})
target_link_libraries(win32_window_tests PRIVATE qvl_test_support GTest::gtest_main)
target_include_directories(win32_window_tests PRIVATE ${QVL_RESOURCE_BUILD_DIR} ${QVL_MANIFEST_DIR} ${CMAKE_SOURCE_DIR}/src)
add_dependencies(win32_window_tests quenvale_resources)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/windows/quenvale.rc TARGET_DIRECTORY win32_window_tests
  PROPERTIES OBJECT_DEPENDS "${QVL_WINDOWS_RESOURCE_FILES}")
