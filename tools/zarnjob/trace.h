// --trace: the host operations the library asks for, one line each on
// stderr as they happen.
//
//   trace: ISBUrlFactory.SetHidden("/p/Scratch/a.log", 65535) -> 0x00000000
//   trace: AppUtils::Container::GetDocumentManager(<project /p>) -> 0x00000000
//
// Two sources feed it while a library call runs: the local host's call
// observer (interface operations) and the framework's call tracer
// (CfxCreateImpl and the utility functions). What the host asks of itself
// inside a utility function is the utility's doing, not the library's, and
// is left out. AddRef and Release are never reported by the host.
#pragma once

#include <cstdio>
#include <string>

#include "cfx/call_tracer.h"
#include "localhost/call_trace.h"

namespace zarnjob {

class Tracer final : public CfxCallTracer {
 public:
  explicit Tracer(std::FILE* sink) : sink_(sink) {}
  ~Tracer() override { Stop(); }
  Tracer(const Tracer&) = delete;
  Tracer& operator=(const Tracer&) = delete;

  // Between Start and Stop the calls are written. Not nested. The host's
  // calls come in through HostCall, from the observer Context::Library
  // installs.
  void Start();
  void Stop() noexcept;
  void HostCall(const zarnlocal::CallRecord& call) noexcept;

  // The closing line: how many references to host objects nobody released.
  void ReportOutstanding(std::size_t references);

  void Entered() noexcept override;
  void Left(const CfxTracedCall& call) noexcept override;

 private:
  void Write(const std::string& callText, HRESULT status) noexcept;

  std::FILE* sink_;
  bool running_ = false;
  int utilityDepth_ = 0;  // utility functions running now
};

// One traced argument as the trace writes it.
std::string FormatTracedArgument(const CfxTracedArgument& argument);

}  // namespace zarnjob
