# zarn_add_version_resource(target "description")
#
# On Windows, gives the DLL a version resource: the version of project(),
# the description and the product name. The resource script is plain enough
# for both windres (mingw-w64) and rc (Microsoft's compiler).
function(zarn_add_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(ZARN_RC_TARGET ${target})
  set(ZARN_RC_DESCRIPTION "${description}")
  set(ZARN_RC_FILE_NAME ${CMAKE_SHARED_LIBRARY_PREFIX}${target}${CMAKE_SHARED_LIBRARY_SUFFIX})
  set(rc ${PROJECT_BINARY_DIR}/generated/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
