// Task memory: blocks that a host operation allocates and the caller frees
// (CoTaskMemAlloc, CoTaskMemFree; null is ignored).
#pragma once

#include "host/com_types.h"
