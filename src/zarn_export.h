// ZARN_EXPORT marks the library's exported functions; everything else stays
// inside the shared library (it is built with hidden visibility and a linker
// version script that lets only these names out).
#pragma once

#define ZARN_EXPORT __attribute__((visibility("default")))
