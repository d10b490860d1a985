// The listing walk: a host list of locations is read by asking its count
// once, then each entry by index from 1 up to and including the count. A
// count below 1 means no entries. Each entry is released before the next one
// is fetched, so a walk holds at most one entry at a time.
//
//   WalkListing(list, [&](const CfxComPtr<ISBUrl>& entry) { ... });
#pragma once

#include <cstdint>

#include "frame/call_frame.h"
#include "host/com_ptr.h"
#include "host/project_interfaces.h"

namespace zarn {

// Calls visit(entry) for every listed location in index order. The list is
// null-checked before every call through it; an entry may be empty (the
// visitor decides what that means). Any raise ends the walk at once.
template <class Visit>
void WalkListing(const CfxComPtr<ISBUrlList>& list, Visit&& visit) {
  std::int32_t count = 0;
  CheckStatus(NotNull(list)->GetCount(&count));
  for (std::int32_t index = 1; index <= count; ++index) {
    CfxComPtr<ISBUrl> entry;
    CheckStatus(NotNull(list)->GetItem(index, entry.put()));
    visit(entry);
  }
}

}  // namespace zarn
