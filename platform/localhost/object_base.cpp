#include "localhost/object_base.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <utility>

#include "host/job_interfaces.h"
#include "host/project_interfaces.h"
#include "localhost/file_system.h"
#include "localhost/local_host.h"

namespace zarnlocal {
namespace {

std::atomic<std::size_t> liveObjects{0};
std::atomic<std::size_t> outstandingReferences{0};

thread_local std::string lastFailure;
thread_local bool noted = false;

// Narrow bytes in double quotes, with C escapes for quotes, backslashes and
// control bytes; other bytes (UTF-8 letters too) pass as they are.
std::string Quote(std::string_view bytes) {
  std::string quoted = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

struct NamedInterface {
  const nsID* iid;
  const char* name;
};

const NamedInterface kInterfaceNames[] = {
    {&InterfaceIdOf<IUnknown>, "IUnknown"},
    {&InterfaceIdOf<ISBUrlServices>, "ISBUrlServices"},
    {&InterfaceIdOf<ISBFileUrl>, "ISBFileUrl"},
    {&InterfaceIdOf<ISBFileTypeProvider>, "ISBFileTypeProvider"},
    {&InterfaceIdOf<ISBLockable>, "ISBLockable"},
    {&InterfaceIdOf<ISBDocumentStorage>, "ISBDocumentStorage"},
    {&InterfaceIdOf<ISBViewHost>, "ISBViewHost"},
    {&InterfaceIdOf<ISBJobHost>, "ISBJobHost"},
    {&InterfaceIdOf<ISBJobTransfer>, "ISBJobTransfer"},
    {&InterfaceIdOf<ISBZarnServerJob>, "ISBZarnServerJob"},
};

}  // namespace

LocalObject::LocalObject() noexcept {
  liveObjects.fetch_add(1, std::memory_order_relaxed);
  outstandingReferences.fetch_add(1, std::memory_order_relaxed);
}

LocalObject::~LocalObject() { liveObjects.fetch_sub(1, std::memory_order_relaxed); }

std::uint32_t LocalObject::AddReference() noexcept {
  outstandingReferences.fetch_add(1, std::memory_order_relaxed);
  return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t LocalObject::ReleaseReference() noexcept {
  outstandingReferences.fetch_sub(1, std::memory_order_relaxed);
  const std::uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return left;
}

bool LocalObject::TryAddReference() noexcept {
  std::uint32_t refs = refs_.load(std::memory_order_relaxed);
  do {
    if (refs == 0) return false;
  } while (!refs_.compare_exchange_weak(refs, refs + 1, std::memory_order_acq_rel));
  outstandingReferences.fetch_add(1, std::memory_order_relaxed);
  return true;
}

HRESULT LocalObject::Query(const char* primaryName, const nsID& iid, void** out) noexcept {
  return Entry(
      primaryName, "QueryInterface",
      [&]() -> HRESULT {
        RequireSlot(out, "the queried interface");
        *out = InterfaceFor(iid);
        // Asking is how a client finds out: a missing interface is an answer,
        // not an error worth the last-error slot.
        if (!*out) return E_NOINTERFACE;
        AddReference();
        return S_OK;
      },
      iid);
}

std::size_t LiveObjectCount() noexcept { return liveObjects.load(std::memory_order_relaxed); }

std::size_t OutstandingReferenceCount() noexcept { return outstandingReferences.load(std::memory_order_relaxed); }

void Fail(HRESULT status, std::string description) { throw CfxResult(status, std::move(description)); }

void FailNoSuchFile(const std::string& path) { Fail(E_FILE_NOT_FOUND, "no such file: " + path); }

HRESULT StoreFailure(const CfxResult& failure) noexcept {
  try {
    lastFailure = failure.Description();
    CfxResult::SetLastError(failure);
  } catch (...) {
    // Out of memory while keeping the text: the status still tells.
  }
  return FAILED(failure.Code()) ? failure.Code() : E_FAIL;
}

HRESULT SucceedWithNote(const std::string& note) noexcept {
  try {
    lastFailure = note;
    CfxResult::SetLastError(CfxResult(S_FALSE, note));
    noted = true;
  } catch (...) {
    // Out of memory while keeping the text: the status still tells.
  }
  return S_FALSE;
}

bool TakeNote() noexcept { return std::exchange(noted, false); }

CfxResult FailureOfCurrentException() noexcept {
  try {
    try {
      throw;
    } catch (const CfxResult& result) {
      return result;
    } catch (const std::bad_alloc&) {
      return CfxResult(E_OUTOFMEMORY, "out of memory");
    } catch (const std::filesystem::filesystem_error& error) {
      const std::error_code code = error.code();
      HRESULT status = E_FAIL;
      if (code == std::errc::no_such_file_or_directory) status = E_FILE_NOT_FOUND;
      if (code == std::errc::permission_denied) status = E_ACCESSDENIED;
      std::string text = code.message();
      if (!error.path1().empty()) text += ": " + PathText(error.path1());
      return CfxResult(status, text);
    } catch (const std::exception& error) {
      return CfxResult(E_FAIL, error.what());
    }
  } catch (...) {
    return CfxResult(E_FAIL, "internal error of the local host");
  }
}

std::string LastFailureDescription() { return lastFailure; }

std::string FormatArgument(const OLECHAR* text) { return Quote(Narrow(text)); }

std::string FormatText(std::string_view narrow) { return Quote(narrow); }
std::string FormatObject(const IUnknown* object) { return FormatArgument(object); }
std::string FormatIdentifier(const nsID& id) { return FormatArgument(id); }

std::string FormatArgument(std::int32_t value) { return std::to_string(value); }

std::string FormatArgument(VARIANT_BOOL value) { return std::to_string(static_cast<std::uint16_t>(value)); }

std::string FormatArgument(const VARIANT& value) {
  if (value.vt == VT_EMPTY) return "empty";
  if (value.vt == VT_BSTR) return FormatArgument(value.bstrVal);
  return "variant(" + std::to_string(value.vt) + ")";
}

std::string FormatArgument(const nsID& iid) {
  for (const NamedInterface& named : kInterfaceNames) {
    if (*named.iid == iid) return named.name;
  }
  return nsIDToString(iid);
}

std::string FormatArgument(const IUnknown* object) {
  if (!object) return "null";
  if (const auto* local = dynamic_cast<const LocalObject*>(object)) return local->Describe();
  return "?";
}

std::string Narrow(const OLECHAR* text) {
  if (!text) return {};
  return CfxWideToNarrow(CfxWStringView(text, SysStringLen(const_cast<BSTR>(text))));
}

void GiveText(BSTR* slot, std::string_view narrow) {
  const CfxWString wide = CfxNarrowToWide(narrow);
  BSTR text = SysAllocStringLen(wide.data(), static_cast<std::uint32_t>(wide.size()));
  if (!text) throw std::bad_alloc();
  *slot = text;
}

}  // namespace zarnlocal
