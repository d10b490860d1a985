#include "localhost/call_trace.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "localhost/object_base.h"

namespace zarnlocal {
namespace {

std::mutex observerMutex;
CallObserver currentObserver;
std::atomic<bool> observing{false};

}  // namespace

void SetCallObserver(CallObserver observer) {
  std::lock_guard lock(observerMutex);
  observing.store(static_cast<bool>(observer), std::memory_order_release);
  currentObserver = std::move(observer);
}

bool Observing() noexcept { return observing.load(std::memory_order_acquire); }

void Report(const char* interfaceName, const char* operation, std::string arguments, HRESULT status,
            const std::string& target, bool stored) noexcept {
  try {
    CallObserver observer;
    {
      std::lock_guard lock(observerMutex);
      observer = currentObserver;
    }
    if (!observer) return;
    CallRecord record{
        interfaceName, operation, std::move(arguments), status, stored ? LastFailureDescription() : std::string(),
        target};
    observer(record);
  } catch (...) {
    // An observer that fails sees nothing more of this call.
  }
}

std::string FormatStatus(HRESULT status) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(status)));
  return text;
}

std::string FormatCall(const CallRecord& record) {
  std::string line =
      record.interfaceName + "." + record.operation + "(" + record.arguments + ") -> " + FormatStatus(record.status);
  if (!record.description.empty()) line += " (" + record.description + ")";
  return line;
}

}  // namespace zarnlocal
