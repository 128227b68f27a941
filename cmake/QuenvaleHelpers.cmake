# Small helpers shared by the build files.

# qvl_glob_sources(VAR dir...): every .cpp below the given folders, except the
# platform folders, which are picked explicitly.
function(qvl_glob_sources var)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND result ${found})
  endforeach()
  set(${var} ${result} PARENT_SCOPE)
endfunction()

