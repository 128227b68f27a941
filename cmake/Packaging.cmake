# What a pilot installs: the Debian package (cpack in the build folder) on
# Linux, the NSIS installer QuenvaleSetup-v<version>.exe (target `installer`)
# in the Windows builds. The installer is named as the update downloads it.
if(WIN32)
  find_program(MAKENSIS makensis)
  if(MAKENSIS)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
      set(arch amd64-unicode)
    else()
      set(arch x86-unicode)
    endif()
    set(stage ${CMAKE_BINARY_DIR}/installer)
    set(QVL_INSTALLER ${CMAKE_BINARY_DIR}/QuenvaleSetup-v${PROJECT_VERSION}.exe)
    add_custom_command(OUTPUT ${QVL_INSTALLER}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
      COMMAND ${CMAKE_STRIP} -o ${stage}/quenvale.exe $<TARGET_FILE:quenvale>
      COMMAND ${MAKENSIS} -V2 -DARCH=${arch} -DVERSION=v${PROJECT_VERSION} -DPROGRAM=${stage}/quenvale.exe
              -DRESOURCES=${QVL_RESOURCE_BUILD_DIR} -DOUTFILE=${QVL_INSTALLER}
              ${CMAKE_SOURCE_DIR}/packaging/quenvale.nsi
      DEPENDS quenvale quenvale_resources ${CMAKE_SOURCE_DIR}/packaging/quenvale.nsi
      COMMENT "Building the installer")
    add_custom_target(installer ALL DEPENDS ${QVL_INSTALLER})
  endif()
else()
  # The package takes what is built; it never builds everything first.
  set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME quenvale)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR Quenvale)
  set(CPACK_PACKAGE_CONTACT "Quenvale client team <client@quenvale.example>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quenvale virtual-airline client")
  set(CPACK_PACKAGE_DESCRIPTION "Watches the pilot's booked flight in the flight simulator and uploads its report.")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
  include(CPack)
  # The package made from this build and checked (contents, dependencies, a
  # run of the unpacked program, the update to it); not under the sanitizers.
  if(QVL_TESTS AND QVL_TOOLS AND NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
    add_test(NAME DebPackage COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/deb_package.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(DebPackage PROPERTIES LABELS "package;long" TIMEOUT 600)
  endif()
endif()
