# Install rules: the library, its headers, a CMake package and pkg-config
# files, split into components so that a packager can take what it needs:
#
#   Runtime      libZarnServerJobUtils.so.1 (the versioned library); on Windows
#                bin/libZarnServerJobUtils.dll and the compiler's runtime DLLs
#   Development  headers, the libZarnServerJobUtils.so link (on Windows the import
#                library lib/libZarnServerJobUtils.dll.a), CMake package, pkg-config
#                (not on Windows)
#   cfx          the host framework and utility stand-ins (libcfx.so, libapputils.so,
#                on Windows their DLLs and import libraries; cfx/cfx_host.h)
#   localhost    the local reference host (libzarn_localhost.a and its headers)
#   tools        the command-line tool
#
# Everything lands below one include folder, include/ZarnServerJobUtils, the
# way the headers include each other in the source tree.
include(CMakePackageConfigHelpers)

set(ZARN_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/ZarnServerJobUtils)
set(ZARN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZarnServerJobUtils)
set(ZARN_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# An installed library finds the stand-ins next to itself.
set_target_properties(ZarnServerJobUtils apputils PROPERTIES INSTALL_RPATH "$ORIGIN")

# ---- The library and its headers -------------------------------------------

install(TARGETS zarn_host_headers EXPORT ZarnServerJobUtilsHostTargets)
# A DLL is a runtime file, its import library an archive.
install(TARGETS ZarnServerJobUtils EXPORT ZarnServerJobUtilsTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
)
# The compiler's runtime DLLs that the DLLs need beside them (none for a
# compiler whose runtime comes with its own redistributable).
if(ZARN_RUNTIME_DLLS)
  install(FILES ${ZARN_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
endif()
install(FILES
  ${PROJECT_SOURCE_DIR}/src/ZarnServerJobUtils.h
  ${PROJECT_SOURCE_DIR}/src/zarn_export.h
  ${PROJECT_BINARY_DIR}/generated/zarn_version.h
  DESTINATION ${ZARN_INCLUDE_DIR} COMPONENT Development
)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/host/
  DESTINATION ${ZARN_INCLUDE_DIR}/host COMPONENT Development
  FILES_MATCHING PATTERN "*.h"
)

# ---- Host framework and utility stand-ins ----------------------------------

install(TARGETS cfx apputils EXPORT ZarnServerJobUtilsCfxTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cfx
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT cfx
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT cfx
)
install(FILES ${PROJECT_SOURCE_DIR}/platform/cfx/cfx_host.h DESTINATION ${ZARN_INCLUDE_DIR}/cfx COMPONENT cfx)

# ---- Local reference host ----------------------------------------------------

if(TARGET zarn_localhost)
  install(TARGETS zarn_localhost EXPORT ZarnServerJobUtilsLocalhostTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT localhost
  )
  # local_host.h and what it includes; the object implementations stay inside.
  install(FILES
    ${PROJECT_SOURCE_DIR}/platform/localhost/local_host.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/call_trace.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/file_types.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/file_system.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/location.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/project_state.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/project_view.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/server.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/state_journal.h
    ${PROJECT_SOURCE_DIR}/platform/localhost/text_file.h
    DESTINATION ${ZARN_INCLUDE_DIR}/localhost COMPONENT localhost
  )
endif()

# ---- Tools -----------------------------------------------------------------

# Installs a program of tools/ into bin, finding the libraries in lib.
function(zarn_install_tool target)
  file(RELATIVE_PATH libFromBin /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${libFromBin}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
endfunction()
if(TARGET zarnjob)
  zarn_install_tool(zarnjob)
endif()

# ---- CMake package -----------------------------------------------------------

# One targets file per component, so that the package loads what is installed.
install(EXPORT ZarnServerJobUtilsHostTargets
  NAMESPACE ZarnServerJobUtils:: DESTINATION ${ZARN_CMAKE_DIR} COMPONENT Development
)
install(EXPORT ZarnServerJobUtilsTargets
  NAMESPACE ZarnServerJobUtils:: DESTINATION ${ZARN_CMAKE_DIR} COMPONENT Development
)
install(EXPORT ZarnServerJobUtilsCfxTargets
  NAMESPACE ZarnServerJobUtils:: DESTINATION ${ZARN_CMAKE_DIR} COMPONENT cfx
)
if(TARGET zarn_localhost)
  install(EXPORT ZarnServerJobUtilsLocalhostTargets
    NAMESPACE ZarnServerJobUtils:: DESTINATION ${ZARN_CMAKE_DIR} COMPONENT localhost
  )
endif()
# Whether the package was built with an MSVC-style compiler, whose callers
# must use the same runtime configuration.
if(MSVC OR CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
  set(ZARN_PACKAGE_MSVC_STYLE TRUE)
else()
  set(ZARN_PACKAGE_MSVC_STYLE FALSE)
endif()
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/ZarnServerJobUtilsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/ZarnServerJobUtilsConfig.cmake
  INSTALL_DESTINATION ${ZARN_CMAKE_DIR}
)
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/package/ZarnServerJobUtilsConfigVersion.cmake
  COMPATIBILITY SameMajorVersion
)
install(FILES
  ${PROJECT_BINARY_DIR}/package/ZarnServerJobUtilsConfig.cmake
  ${PROJECT_BINARY_DIR}/package/ZarnServerJobUtilsConfigVersion.cmake
  DESTINATION ${ZARN_CMAKE_DIR} COMPONENT Development
)

# ---- pkg-config --------------------------------------------------------------

# The .pc files find the prefix from their own place, so that an installed
# tree can be moved (or installed with cmake --install --prefix). Windows
# builds use the CMake package only: a .pc file there would have to name the
# import libraries and the compiler's flags of each toolchain.
if(WIN32)
  return()
endif()
file(RELATIVE_PATH ZARN_PC_TO_PREFIX /${ZARN_PKGCONFIG_DIR} /)
string(REGEX REPLACE "/$" "" ZARN_PC_TO_PREFIX "${ZARN_PC_TO_PREFIX}")
foreach(pc ZarnServerJobUtils ZarnServerJobUtils-localhost)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in ${PROJECT_BINARY_DIR}/package/${pc}.pc @ONLY)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/package/ZarnServerJobUtils.pc
  DESTINATION ${ZARN_PKGCONFIG_DIR} COMPONENT Development
)
if(TARGET zarn_localhost)
  install(FILES ${PROJECT_BINARY_DIR}/package/ZarnServerJobUtils-localhost.pc
    DESTINATION ${ZARN_PKGCONFIG_DIR} COMPONENT localhost
  )
endif()
