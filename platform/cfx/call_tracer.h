// Tracing of the framework's and the utility libraries' own functions.
//
// Host objects report the operations a client calls on them (the local host
// does, through its call observer). The functions a client calls directly in
// the framework and the utility libraries (CfxCreateImpl,
// AppUtils::Container::*, AppUtils::Document::RegenerateDisplay, Paths::*)
// are not operations of any object, so they report here instead.
//
// A tracer hears Entered() as such a function starts and Left() with the
// call as it ends. Whatever the function asks of host objects in between is
// the function's own doing, not its caller's: a tracer that shows what a
// client asked ignores host calls that arrive between the two.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "host/cfx_result.h"
#include "host/host_api.h"
#include "host/nsid.h"
#include "host/status.h"
#include "host/unknown.h"

// An argument as it was given: a host object (or null), a text, a number or
// an identifier. The tracer formats it; only the host knows how to name its objects.
using CfxTracedArgument = std::variant<const IUnknown*, std::string, std::int64_t, nsID>;

struct CfxTracedCall {
  const char* function;  // "AppUtils::Container::GetDocumentManager"
  std::vector<CfxTracedArgument> arguments;
  HRESULT status;  // what the host answered, or the code of what the function raised
};

ZARN_EXPORTED_CLASSES_BEGIN

class CFX_API CfxCallTracer {
 public:
  virtual ~CfxCallTracer();
  virtual void Entered() noexcept = 0;
  virtual void Left(const CfxTracedCall& call) noexcept = 0;
};

// Installs the tracer of the whole process (not owned); null removes it.
CFX_API void CfxSetCallTracer(CfxCallTracer* tracer) noexcept;
CFX_API CfxCallTracer* CfxCurrentCallTracer() noexcept;

// Runs a traced function's work. The work gets a status slot for what the
// host answered it (S_OK when it asked nothing); when the work raises, the
// raised code is reported instead. Arguments are only copied while a tracer
// is installed.
template <class Work, class... Args>
decltype(auto) CfxTraceCall(const char* function, Work&& work, const Args&... args) {
  HRESULT status = S_OK;
  CfxCallTracer* const tracer = CfxCurrentCallTracer();
  if (!tracer) return std::forward<Work>(work)(status);

  const auto leave = [&](HRESULT outcome) noexcept {
    try {
      tracer->Left(CfxTracedCall{function, {CfxTracedArgument(args)...}, outcome});
    } catch (...) {
      // Out of memory for the record: the call goes untraced, not failed.
    }
  };
  tracer->Entered();
  try {
    if constexpr (std::is_void_v<decltype(std::forward<Work>(work)(status))>) {
      std::forward<Work>(work)(status);
      leave(status);
    } else {
      decltype(auto) result = std::forward<Work>(work)(status);
      leave(status);
      return result;
    }
  } catch (const CfxResult& failure) {
    leave(failure.Code());
    throw;
  } catch (const std::bad_alloc&) {
    leave(E_OUTOFMEMORY);
    throw;
  } catch (...) {
    leave(E_FAIL);
    throw;
  }
}

ZARN_EXPORTED_CLASSES_END
