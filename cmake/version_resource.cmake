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
  # The file's name differs between configurations (a Debug postfix), so
  # each configuration has a script of its own.
  set(ZARN_RC_FILE_NAME "$<TARGET_FILE_NAME:${target}>")
  set(rc ${PROJECT_BINARY_DIR}/generated/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc}.in @ONLY)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/generated/$<CONFIG>/${target}.rc INPUT ${rc}.in)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/generated/$<CONFIG>/${target}.rc)
endfunction()
