// CfxResult, the per-thread last error and the framework's standard texts.
#include "host/cfx_result.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "cfx/cfx_host.h"

namespace {

// What SetLastError stored last on this thread; S_OK means nothing.
thread_local CfxResult lastError;
// Whether lastError came whole from the operation that failed (its own
// description) and no SetLastError of a bare code has claimed it yet.
thread_local bool lastErrorUnclaimed = false;

std::atomic<std::uint64_t> genericCatches{0};

const char* StandardText(HRESULT code) noexcept {
  switch (code) {
    case S_OK: return "The operation completed successfully.";
    case S_FALSE: return "The operation completed; the answer is false.";
    case E_NOTIMPL: return "Not implemented.";
    case E_NOINTERFACE: return "No such interface supported.";
    case E_POINTER: return "Invalid pointer.";
    case E_FAIL: return "Unspecified error.";
    case E_UNEXPECTED: return "Unexpected failure.";
    case E_ACCESSDENIED: return "Access is denied.";
    case E_OUTOFMEMORY: return "Not enough memory to complete the operation.";
    case E_INVALIDARG: return "The parameter is incorrect.";
    case E_FILE_NOT_FOUND: return "The file cannot be found.";
    case E_READ_FAULT: return "The device cannot be read.";
    case DISP_E_BADVARTYPE: return "Bad variable type.";
    case REGDB_E_CLASSNOTREG: return "Class not registered.";
    default: return nullptr;
  }
}

// The code as eight hexadecimal digits, the way status codes are quoted.
std::string FormatStatus(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(code)));
  return text;
}

}  // namespace

CfxResult::CfxResult(HRESULT code, std::string description, int lastDescriptionAction)
    : code_(code), description_(std::move(description)), lastDescriptionAction_(lastDescriptionAction) {}

CfxResult::~CfxResult() = default;

CfxResult CfxResult::StandardDescription(HRESULT code) {
  const char* text = StandardText(code);
  return CfxResult(code, text ? std::string(text) : "Unknown error " + FormatStatus(code));
}

void CfxResult::SetLastError(HRESULT code) {
  // The caller passing on the status of the operation that just stored why it
  // failed: keep that description, once.
  if (lastErrorUnclaimed && lastError.Code() == code) {
    lastErrorUnclaimed = false;
    return;
  }
  lastError = StandardDescription(code);
  lastErrorUnclaimed = false;
}

void CfxResult::SetLastError(const CfxResult& result) {
  lastError = result;
  lastErrorUnclaimed = result.Code() != S_OK;
}

CfxResult CfxResult::LastErrorCheckNotS_OK() {
  if (lastError.Code() == S_OK) return CfxResult(E_UNEXPECTED, "No error was recorded on this thread.");
  return lastError;
}

CfxResult QueryInterfaceFailure(HRESULT code, const nsID& iid) {
  const std::string status = " (" + FormatStatus(code) + ").";
  if (code == E_NOINTERFACE)
    return CfxResult(code, "Interface " + nsIDToString(iid) + " is not supported by the object" + status);
  return CfxResult(code, "The query for interface " + nsIDToString(iid) + " failed" + status);
}

void CheckNullDereference(const void* pointer) {
  if (pointer == nullptr) throw CfxResult(E_POINTER, "Null pointer dereference.");
}

void DiagnoseEntryToGenericCatch() noexcept { genericCatches.fetch_add(1, std::memory_order_relaxed); }

std::uint64_t CfxGenericCatchCount() noexcept { return genericCatches.load(std::memory_order_relaxed); }
