# The runtime DLLs of the C++ compiler that programs and DLLs built here need
# beside them on Windows. A GNU-style compiler names the files it knows with
# -print-file-name= (mingw-w64's GCC: the C++ and GCC runtimes and the thread
# library; an LLVM mingw toolchain: libc++ and libunwind) and answers a bare
# name for one it does not know. Microsoft's compiler names none: its
# runtime comes with the Visual C++ redistributable. So the list may be
# empty, never a configure error.
function(zarn_find_runtime_dlls out)
  set(found "")
  if(NOT (MSVC OR CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC"))
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libc++.dll libunwind.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
      if(NOT failed AND IS_ABSOLUTE "${path}" AND EXISTS "${path}")
        cmake_path(NORMAL_PATH path)
        list(APPEND found "${path}")
      endif()
    endforeach()
  endif()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()
