# The Windows build's own test programs, and every suite registered with
# ctest to run under Wine: tests/windows/wine.sh is the emulator (set in
# tests/CMakeLists.txt, before the first test program), and ctest
# fixtures give the suites the Wine prefix, the qvl-service stand-in of a
# Linux build and, for the window suite, a private X display. All are
# labelled "wine"; ctest runs them in order, one at a time.

add_executable(platform_probe ${CMAKE_CURRENT_SOURCE_DIR}/tools/PlatformProbe.cpp)
target_link_libraries(platform_probe PRIVATE quenvale_platform quenvale_core)
target_link_libraries(integration_tests PRIVATE ws2_32)
target_include_directories(integration_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/windows)
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

# The window suite on Win32, on the X display of its fixture; the program's
# resources (skin, outline, icon, menus) are compiled into it.
add_executable(win32_window_tests ${CMAKE_CURRENT_SOURCE_DIR}/window/Win32WindowDriver.cpp
  ${CMAKE_SOURCE_DIR}/resources/windows/quenvale.rc ${QVL_TEST_ENVIRONMENT})
target_link_libraries(win32_window_tests PRIVATE qvl_test_support GTest::gtest_main)
target_include_directories(win32_window_tests PRIVATE ${QVL_RESOURCE_BUILD_DIR} ${QVL_MANIFEST_DIR} ${CMAKE_SOURCE_DIR}/src)
add_dependencies(win32_window_tests quenvale_resources)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/windows/quenvale.rc TARGET_DIRECTORY win32_window_tests
  PROPERTIES OBJECT_DEPENDS "${QVL_WINDOWS_RESOURCE_FILES}")

# Only the 64-bit test build runs here (wine64); the 32-bit one is built for
# its layout checks.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()

set(wine ${QVL_WINE_SCRIPT})
set(artifacts ${CMAKE_BINARY_DIR}/artifacts)

# The fixtures: set-up and clean-up steps are tests of their own.
add_test(NAME WinePrefix COMMAND ${wine} prefix)
add_test(NAME WinePrefixEnd COMMAND ${wine} prefix-end)
add_test(NAME WineService COMMAND ${wine} service)
add_test(NAME WineServiceEnd COMMAND ${wine} service-end)
add_test(NAME WineDisplay COMMAND ${wine} display)
add_test(NAME WineDisplayEnd COMMAND ${wine} display-end ${artifacts}/win32)
set_tests_properties(WinePrefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
set_tests_properties(WinePrefixEnd PROPERTIES FIXTURES_CLEANUP wine_prefix)
set_tests_properties(WineService PROPERTIES FIXTURES_SETUP wine_service TIMEOUT 90)
set_tests_properties(WineServiceEnd PROPERTIES FIXTURES_CLEANUP wine_service)
set_tests_properties(WineDisplay PROPERTIES FIXTURES_SETUP wine_display FIXTURES_REQUIRED wine_prefix TIMEOUT 120)
set_tests_properties(WineDisplayEnd PROPERTIES FIXTURES_CLEANUP wine_display)

# The suites, in the order they ran before ctest did: unit, integration, the
# simulator links, one whole flight per bridge, the week, the window.
add_test(NAME WineUnit COMMAND unit_tests --gtest_brief=1)
add_test(NAME WineIntegration COMMAND integration_tests --gtest_brief=1)
add_test(NAME WineSimulatorLinks COMMAND simulator_tests --gtest_brief=1 --gtest_filter=*WindowsLink*)
set(suites_on_the_null_driver WineUnit WineIntegration WineSimulatorLinks)
foreach(bridge Fsuipc SimConnect XPlane)
  add_test(NAME WineFlight.${bridge} COMMAND ${wine} seeded-run $<TARGET_FILE:simulator_tests>
    --gtest_brief=1 --gtest_filter=Bridges/WindowsFlightTest.*/${bridge})
  set_tests_properties(WineFlight.${bridge} PROPERTIES RESOURCE_LOCK qvl_service_bookings)
  list(APPEND suites_on_the_null_driver WineFlight.${bridge})
endforeach()
# The Windows program's first flights of the week, driven from the Linux
# build (its bookings, service faults and store), in this prefix.
add_test(NAME WineWeekOfFlights COMMAND ${wine} host tests/wine_week_tests --gtest_brief=1)
set_tests_properties(WineWeekOfFlights PROPERTIES
  ENVIRONMENT "QVL_WINE_CLIENT=$<TARGET_FILE:quenvale>" TIMEOUT 1200)
list(APPEND suites_on_the_null_driver WineWeekOfFlights)
set_tests_properties(${suites_on_the_null_driver} PROPERTIES FIXTURES_REQUIRED "wine_prefix;wine_service")
set_tests_properties(WineUnit WineIntegration PROPERTIES TIMEOUT 1800)
set_tests_properties(WineSimulatorLinks WineFlight.Fsuipc WineFlight.SimConnect WineFlight.XPlane PROPERTIES TIMEOUT 900)
# The display replaces the null graphics driver in the shared prefix: it
# comes after every suite that runs on that driver.
set_tests_properties(WineDisplay PROPERTIES DEPENDS "${suites_on_the_null_driver}")
add_test(NAME WineWindow COMMAND win32_window_tests --gtest_brief=1)
set_tests_properties(WineWindow PROPERTIES FIXTURES_REQUIRED "wine_prefix;wine_display" TIMEOUT 900
  ENVIRONMENT "QVL_ARTIFACT_DIR=Z:${artifacts}")
file(MAKE_DIRECTORY ${artifacts}/win32)

# The program's own window clicked (its own prefix, display and service),
# and its installer (in the prefix, with the service and the display).
add_test(NAME WineWindowFlight COMMAND ${wine} e2e ${CMAKE_SOURCE_DIR}/tests/e2e/win32_flight.sh
  ${CMAKE_BINARY_DIR} ${artifacts}/e2e)
set_tests_properties(WineWindowFlight PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)
add_test(NAME WineInstall COMMAND ${wine} e2e ${CMAKE_SOURCE_DIR}/tests/e2e/win32_install.sh ${CMAKE_BINARY_DIR} "")
set_tests_properties(WineInstall PROPERTIES TIMEOUT 600
  FIXTURES_REQUIRED "wine_prefix;wine_service;wine_display")

set_tests_properties(WinePrefix WinePrefixEnd WineService WineServiceEnd WineDisplay WineDisplayEnd
  WineUnit WineIntegration WineSimulatorLinks WineFlight.Fsuipc WineFlight.SimConnect WineFlight.XPlane
  WineWeekOfFlights WineWindow WineWindowFlight WineInstall PROPERTIES LABELS wine)
