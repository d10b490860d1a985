// The one tracer of the process, see call_tracer.h.
#include "cfx/call_tracer.h"

#include <atomic>

namespace {

std::atomic<CfxCallTracer*> installed{nullptr};

}  // namespace

CfxCallTracer::~CfxCallTracer() = default;

void CfxSetCallTracer(CfxCallTracer* tracer) noexcept { installed.store(tracer, std::memory_order_release); }

CfxCallTracer* CfxCurrentCallTracer() noexcept { return installed.load(std::memory_order_acquire); }
