// The owner of a string array that a host operation hands over in task
// memory: the array and every string in it are the receiver's to free.
//
//   TaskMemStrings texts;
//   CheckStatus(types->GetDependentExtensions(ext, texts.ArraySlot(), texts.CountSlot()));
//   texts.TakeEach([&](const OLECHAR* text) { ... });
//
// TakeEach frees each string right after it has been read and the array after
// the last one. Whatever is left when the owner goes, because a reader raised
// halfway or nothing was read at all, is freed by the destructor, so no path
// loses a block. An array that comes with a count of 0 or less is freed too.
#pragma once

#include <cstdint>
#include <utility>

#include "frame/call_frame.h"
#include "host/bstr.h"
#include "host/cotaskmem.h"

namespace zarn {

class TaskMemStrings {
 public:
  TaskMemStrings() noexcept = default;
  TaskMemStrings(const TaskMemStrings&) = delete;
  TaskMemStrings& operator=(const TaskMemStrings&) = delete;
  ~TaskMemStrings() { Free(); }

  // The out slots for the host operation; empty until it fills them.
  LPOLESTR** ArraySlot() noexcept { return &array_; }
  std::int32_t* CountSlot() noexcept { return &count_; }

  // Calls read(text) for each string in array order, freeing each one as soon
  // as read has returned, then frees the array. A positive count without an
  // array raises the null check rather than reading through null.
  template <class Read>
  void TakeEach(Read&& read) {
    if (count_ > 0) NotNull(array_);
    for (; taken_ < count_; ++taken_) {
      read(static_cast<const OLECHAR*>(array_[taken_]));
      CoTaskMemFree(std::exchange(array_[taken_], nullptr));
    }
    Free();
  }

 private:
  void Free() noexcept {
    if (!array_) return;
    for (; taken_ < count_; ++taken_) CoTaskMemFree(array_[taken_]);
    CoTaskMemFree(std::exchange(array_, nullptr));
  }

  LPOLESTR* array_ = nullptr;
  std::int32_t count_ = 0;
  std::int32_t taken_ = 0;  // strings at the front already freed
};

}  // namespace zarn
