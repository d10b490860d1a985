// A first look at the library from an application's side: it links the
// shared library and asks it for message texts.
#include <cstdint>
#include <cstdio>

#include "ZarnServerJobUtils.h"

int main() {
  std::printf("ZarnServerJobUtils loaded.\n");
  for (std::int32_t id : {0, 1, -1, 4096}) {
    const char* text = ID2MessageString(id);
    std::printf("ID2MessageString(%d) = %s\n", id, text ? text : "(no message)");
  }
  return 0;
}
