#include "trace.h"

#include <type_traits>
#include <variant>

namespace zarnjob {

std::string FormatTracedArgument(const CfxTracedArgument& argument) {
  return std::visit(
      [](const auto& value) -> std::string {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, const IUnknown*>) {
          return zarnlocal::FormatObject(value);
        } else if constexpr (std::is_same_v<T, std::string>) {
          return zarnlocal::FormatText(value);
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          return std::to_string(value);
        } else {
          return zarnlocal::FormatIdentifier(value);
        }
      },
      argument);
}

void Tracer::Start() {
  utilityDepth_ = 0;
  running_ = true;
  CfxSetCallTracer(this);
}

void Tracer::Stop() noexcept {
  if (!running_) return;
  running_ = false;
  CfxSetCallTracer(nullptr);
}

void Tracer::ReportOutstanding(std::size_t references) {
  std::fprintf(sink_, "trace: references outstanding: %zu\n", references);
  std::fflush(sink_);
}

void Tracer::Entered() noexcept { ++utilityDepth_; }

void Tracer::Left(const CfxTracedCall& call) noexcept {
  // A utility called from inside another is the outer one's doing.
  if (--utilityDepth_ > 0) return;
  try {
    std::string text = std::string(call.function) + "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      if (i > 0) text += ", ";
      text += FormatTracedArgument(call.arguments[i]);
    }
    Write(text + ")", call.status);
  } catch (...) {
    // Out of memory while formatting: the line is lost, the call is not.
  }
}

void Tracer::HostCall(const zarnlocal::CallRecord& call) noexcept {
  if (!running_ || utilityDepth_ > 0) return;
  try {
    Write(call.interfaceName + "." + call.operation + "(" + call.arguments + ")", call.status);
  } catch (...) {
    // As above.
  }
}

void Tracer::Write(const std::string& callText, HRESULT status) noexcept {
  try {
    const std::string line = "trace: " + callText + " -> " + zarnlocal::FormatStatus(status) + "\n";
    std::fwrite(line.data(), 1, line.size(), sink_);
    std::fflush(sink_);
  } catch (...) {
    // As above.
  }
}

}  // namespace zarnjob
