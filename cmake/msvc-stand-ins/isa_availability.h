// The Visual C++ runtime's levels of the processor's instruction set, which
// the standard library's vectorized algorithms read; crt_start.cpp sets the
// level every x64 processor has.
#pragma once

enum __ISA_AVAILABILITY {
  __ISA_AVAILABLE_X86 = 0,
  __ISA_AVAILABLE_SSE2 = 1,
  __ISA_AVAILABLE_SSE42 = 2,
  __ISA_AVAILABLE_AVX = 3,
  __ISA_AVAILABLE_ENFSTRG = 4,
  __ISA_AVAILABLE_AVX2 = 5,
  __ISA_AVAILABLE_AVX512 = 6,
};

#ifdef __cplusplus
extern "C" {
#endif
extern int __isa_available;
extern long __isa_enabled;
#ifdef __cplusplus
}
#endif
