// Visibility of the host framework's own entry points.
//
// The library is built with hidden visibility; the framework services it
// calls (strings, results, streams, container utilities) live in the host's
// shared libraries and must stay visible so that both sides bind to one
// implementation, one last-error store and one string allocator.
#pragma once

#define CFX_API __attribute__((visibility("default")))
