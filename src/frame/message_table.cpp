// The message table behind ID2MessageString.
//
// The table is created on the first call (a function-local static, so two
// threads making the first call at once are safe) and destroyed when the
// library is unloaded. The library defines no messages, so every identifier
// yields null; the lookup stays so that a table with entries behaves the same.
#include <cstdint>
#include <map>

#include "ZarnServerJobUtils.h"

namespace {

const std::map<std::int32_t, const char*>& MessageTable() {
  static const std::map<std::int32_t, const char*> table;
  return table;
}

}  // namespace

extern "C" const char* ID2MessageString(std::int32_t id) {
  const auto& table = MessageTable();
  const auto entry = table.lower_bound(id);
  return entry != table.end() && entry->first == id ? entry->second : nullptr;
}
