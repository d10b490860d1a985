// Task memory: blocks that a host operation allocates and the caller frees.
#pragma once

#include <cstddef>

#include "host/host_api.h"

CFX_API void* CoTaskMemAlloc(std::size_t size) noexcept;  // null when out of memory
CFX_API void CoTaskMemFree(void* block) noexcept;         // null is ignored
