# Building for 64-bit Windows as Microsoft's compiler does, on Linux: clang
# in its cl mode against Microsoft's standard library (third_party/
# microsoft-stl), Wine's C runtime and Windows headers, and import libraries
# of Wine's runtime DLLs, linked by lld-link. Programs run under Wine.
#
#   source scripts/msvc-env   (prepares the kit: tools, Wine's headers, libraries)
#   cmake --preset windows-msvc
#
# The kit lies in build/msvc-kit, or where ZARN_MSVC_KIT says.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

if(DEFINED ENV{ZARN_MSVC_KIT})
  set(ZARN_MSVC_KIT "$ENV{ZARN_MSVC_KIT}" CACHE PATH "The kit of scripts/msvc-env")
else()
  get_filename_component(ZARN_MSVC_KIT "${CMAKE_CURRENT_LIST_DIR}/../build/msvc-kit" ABSOLUTE CACHE)
endif()
if(NOT EXISTS "${ZARN_MSVC_KIT}/ready")
  message(FATAL_ERROR "No kit for clang-cl in ${ZARN_MSVC_KIT}: source scripts/msvc-env first.")
endif()
get_filename_component(zarn_tree "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

set(CMAKE_C_COMPILER "${ZARN_MSVC_KIT}/bin/clang-cl")
set(CMAKE_CXX_COMPILER "${ZARN_MSVC_KIT}/bin/clang-cl")
set(CMAKE_C_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_LINKER "${ZARN_MSVC_KIT}/bin/lld-link")
set(CMAKE_AR "${ZARN_MSVC_KIT}/bin/llvm-lib")
set(CMAKE_RC_COMPILER "${ZARN_MSVC_KIT}/bin/llvm-rc")
set(CMAKE_MT "${ZARN_MSVC_KIT}/bin/llvm-mt")

# The headers an SDK would give, as system headers: the stand-ins first
# (they wrap some of Wine's), then the standard library, then Wine's.
set(zarn_includes
  "${zarn_tree}/cmake/msvc-stand-ins"
  "${zarn_tree}/third_party/microsoft-stl/stl/inc"
  "${ZARN_MSVC_KIT}/wine/msvcrt"
  "${ZARN_MSVC_KIT}/wine/windows"
)
set(zarn_flags "")
foreach(dir IN LISTS zarn_includes)
  string(APPEND zarn_flags " -imsvc \"${dir}\"")
endforeach()
# Wine's headers make WCHAR wchar_t, and give the compiler's structured
# exception handling its SDK names, as the SDK does, only when asked.
string(APPEND zarn_flags " -DWINE_UNICODE_NATIVE -DUSE_COMPILER_EXCEPTIONS")
set(CMAKE_C_FLAGS_INIT "${zarn_flags}")
set(CMAKE_CXX_FLAGS_INIT "${zarn_flags}")
set(CMAKE_RC_FLAGS_INIT "-I \"${ZARN_MSVC_KIT}/wine/windows\" -I \"${ZARN_MSVC_KIT}/wine/msvcrt\"")

# The runtime: Wine's DLLs through their import libraries, and the part that
# Microsoft links statically. The libraries the compiler names by default
# (msvcrt.lib, msvcprt.lib, oldnames.lib) are Visual Studio's, so they are
# left out and these named instead: the Debug runtime's (/MDd, whose DLLs
# scripts/msvc-kit makes over Wine's Release ones) for Debug, the Release
# runtime's for every other configuration.
set(zarn_release_runtime zarn_crt_start.lib zarn_msvcprt.lib ucrtbase.lib vcruntime140.lib msvcp140.lib)
set(zarn_debug_runtime zarn_crt_startd.lib zarn_msvcprtd.lib ucrtbased.lib vcruntime140d.lib msvcp140d.lib)
list(JOIN zarn_release_runtime " " zarn_release_runtime)
list(JOIN zarn_debug_runtime " " zarn_debug_runtime)
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "/libpath:\"${ZARN_MSVC_KIT}/lib\" /nodefaultlib")
  set(CMAKE_${kind}_LINKER_FLAGS_DEBUG_INIT "${zarn_debug_runtime}")
  foreach(config RELEASE RELWITHDEBINFO MINSIZEREL)
    set(CMAKE_${kind}_LINKER_FLAGS_${config}_INIT "${zarn_release_runtime}")
  endforeach()
endforeach()
# Then the system libraries that CMake names for every Windows program, of
# those that Wine has.
string(JOIN " " zarn_libraries ntdll.lib kernel32.lib user32.lib gdi32.lib shell32.lib ole32.lib oleaut32.lib uuid.lib
  advapi32.lib)
set(CMAKE_C_STANDARD_LIBRARIES "${zarn_libraries}" CACHE STRING "Libraries linked into every C module")
set(CMAKE_CXX_STANDARD_LIBRARIES "${zarn_libraries}" CACHE STRING "Libraries linked into every C++ module")

set(CMAKE_FIND_ROOT_PATH "${ZARN_MSVC_KIT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs run under Wine, which finds the Debug runtime's DLLs on WINEPATH.
set(CMAKE_CROSSCOMPILING_EMULATOR env "WINEPATH=Z:${ZARN_MSVC_KIT}/debug-runtime" wine)
