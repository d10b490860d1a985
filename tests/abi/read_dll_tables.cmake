# cmake -DOBJDUMP=... -DCXXFILT=... -DBINARY=dll -DOUTPUT=text -P read_dll_tables.cmake
#
# Writes the tables `objdump -p` prints for the DLL, with every C++ name
# demangled by c++filt.
execute_process(
  COMMAND ${OBJDUMP} -p ${BINARY}
  COMMAND ${CXXFILT}
  OUTPUT_FILE ${OUTPUT}
  COMMAND_ERROR_IS_FATAL ANY
)
