# cmake -DOBJDUMP=... (-DCXXFILT=... | -DUNDNAME=...) -DBINARY=dll -DOUTPUT=text -P read_dll_tables.cmake
#
# Writes the tables `objdump -p` prints for the DLL, with every C++ name
# demangled: by c++filt (GNU names), or by LLVM's undname (Microsoft's
# names), then spelled as c++filt spells a signature ("ns::f(T const&, U*)"),
# so that one list of signatures holds for both.
if(CXXFILT)
  execute_process(COMMAND ${OBJDUMP} -p ${BINARY} COMMAND ${CXXFILT} OUTPUT_FILE ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
  return()
endif()

execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE table COMMAND_ERROR_IS_FATAL ANY)
# Each exported name starts a line of its own first: a list element with a
# bracket would not stay one element.
string(REPLACE "] ?" "]\n?" lines "${table}")
string(REGEX MATCHALL "\n\\?[^\n]*" mangled "${lines}")
list(TRANSFORM mangled STRIP)
list(REMOVE_DUPLICATES mangled)
foreach(name IN LISTS mangled)
  # undname answers with the name and its demangled form, or fails on a name
  # it cannot read (kept as it is).
  execute_process(COMMAND ${UNDNAME} "${name}" OUTPUT_VARIABLE said ERROR_QUIET RESULT_VARIABLE failed)
  string(FIND "${said}" "\n" cut)
  if(failed OR cut LESS 0)
    continue()
  endif()
  math(EXPR cut "${cut} + 1")
  string(SUBSTRING "${said}" ${cut} -1 readable)
  string(STRIP "${readable}" readable)
  string(REGEX REPLACE "^const (.*)::`vftable'$" "vtable for \\1" readable "${readable}")
  # The function's name and parameters, without access, storage, return
  # type and calling convention.
  string(REGEX REPLACE "^.*__cdecl " "" readable "${readable}")
  # A static data member: its name, without its type.
  string(REGEX REPLACE "^(public|protected|private): static [^(]* ([^ (]+)$" "\\2" readable "${readable}")
  string(REGEX REPLACE "(^|[(<, ])(class|struct|enum|union) " "\\1" readable "${readable}")
  string(REPLACE " *" "*" readable "${readable}")
  string(REPLACE " &" "&" readable "${readable}")
  string(REPLACE "(void)" "()" readable "${readable}")
  string(REPLACE "std::basic_string<char, std::char_traits<char>, std::allocator<char>>" "std::string" readable
                 "${readable}")
  string(REPLACE "${name}" "${readable}" table "${table}")
endforeach()
file(WRITE ${OUTPUT} "${table}")
