// LocalObject: what every host object of the local host shares.
//
// One reference count per object, whatever interface it is reached through:
// each concrete class derives from LocalObject and from the interfaces it
// implements, and LOCAL_HOST_IUNKNOWN gives all of them the same three
// IUnknown operations (COM identity: a query for IUnknown or any implemented
// interface gives the same object). Live objects and outstanding references
// are counted process-wide, so a tool or a test can see what a client left
// behind.
//
// Interface methods are thin: each one runs its work through Entry, which
// turns every exception into a status plus the host's last error and reports
// the call to the observer (call_trace.h). The work itself only throws.
#pragma once

#include <atomic>
#include <concepts>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "host/bstr.h"
#include "host/cfx_result.h"
#include "host/status.h"
#include "host/unknown.h"
#include "host/variant.h"
#include "localhost/call_trace.h"

namespace zarnlocal {

class LocalObject {
 public:
  LocalObject(const LocalObject&) = delete;
  LocalObject& operator=(const LocalObject&) = delete;
  virtual ~LocalObject();

  // How the object appears in a traced argument list: kind and what it names.
  virtual std::string Describe() const = 0;

  std::uint32_t AddReference() noexcept;
  std::uint32_t ReleaseReference() noexcept;
  // Takes a reference unless the object is already on its way out (count 0).
  bool TryAddReference() noexcept;

 protected:
  LocalObject() noexcept;

  // The interface pointer for an identifier, or null; IUnknown gives the
  // object's primary interface.
  virtual void* InterfaceFor(const nsID& iid) noexcept = 0;
  // QueryInterface for every interface of the object, reported under the
  // name of its primary interface.
  HRESULT Query(const char* primaryName, const nsID& iid, void** out) noexcept;

 private:
  std::atomic<std::uint32_t> refs_{1};
};

// The local object behind an interface pointer, or null for another host's object.
template <class T = LocalObject, class I>
T* LocalOf(I* pointer) noexcept {
  return pointer ? dynamic_cast<T*>(pointer) : nullptr;
}

#define LOCAL_HOST_IUNKNOWN(Primary)                                                                                   \
  HRESULT STDMETHODCALLTYPE QueryInterface(const nsID& iid, void** out) override { return Query(#Primary, iid, out); } \
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }                                                 \
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(); }

// ---- Failures --------------------------------------------------------------

// A failure of the host's work: the status and a description a user can act on.
[[noreturn]] void Fail(HRESULT status, std::string description);
[[noreturn]] void FailNoSuchFile(const std::string& path);
// Null out slots are a caller's mistake, reported as E_POINTER.
template <class T>
void RequireSlot(T* slot, const char* what) {
  if (!slot) Fail(E_POINTER, std::string("no slot was given for ") + what);
}

// Stores the failure as the host's last error and returns its status.
HRESULT StoreFailure(const CfxResult& failure) noexcept;
// Success with something left undone (S_FALSE): the note is stored as the
// last error's description and goes along with the call's report.
HRESULT SucceedWithNote(const std::string& note) noexcept;
// Whether the operation that just ran stored a note; clears it.
bool TakeNote() noexcept;
// The result that stands for the exception being handled (inside a catch only).
CfxResult FailureOfCurrentException() noexcept;

// The description of this thread's latest failure of a local host call, or
// empty. It survives a client overwriting the host's last error with the
// plain text of the status.
std::string LastFailureDescription();

// ---- Argument formatting for the trace -------------------------------------

std::string FormatArgument(const OLECHAR* text);  // quoted narrow text; null is ""
std::string FormatArgument(std::int32_t value);
std::string FormatArgument(VARIANT_BOOL value);  // as the 16 bits: 0 or 65535
std::string FormatArgument(const VARIANT& value);
std::string FormatArgument(const nsID& iid);  // the interface's name when known
std::string FormatArgument(const IUnknown* object);
template <std::derived_from<IUnknown> I>
std::string FormatArgument(I* object) {
  if (!object) return "null";
  if (const LocalObject* local = LocalOf(object)) return local->Describe();
  return "?";
}

bool Observing() noexcept;
// Reports a call to the observer. `target` names what the call was made on
// when a watcher needs it (a document's path); `stored` says whether the
// call stored a failure as the last error (its description goes along).
void Report(const char* interfaceName, const char* operation, std::string arguments, HRESULT status,
            const std::string& target, bool stored) noexcept;

template <class... Args>
std::string FormatArguments(const Args&... args) {
  std::string text;
  ((text += (text.empty() ? "" : ", ") + FormatArgument(args)), ...);
  return text;
}

// Runs one interface operation on a named target: the work returns a status
// or throws; every exception becomes a failing status with its description
// as the last error.
template <class Work, class... Args>
HRESULT EntryOn(const std::string& target, const char* interfaceName, const char* operation, Work&& work,
                const Args&... args) noexcept {
  HRESULT status;
  bool stored = false;
  try {
    status = std::forward<Work>(work)();
  } catch (...) {
    status = StoreFailure(FailureOfCurrentException());
    stored = true;
  }
  stored = TakeNote() || stored;
  if (Observing()) {
    try {
      Report(interfaceName, operation, FormatArguments(args...), status, target, stored);
    } catch (...) {
      // Tracing must never change an operation's outcome.
    }
  }
  return status;
}

// The same for an operation whose target nobody needs named.
template <class Work, class... Args>
HRESULT Entry(const char* interfaceName, const char* operation, Work&& work, const Args&... args) noexcept {
  static const std::string none;
  return EntryOn(none, interfaceName, operation, std::forward<Work>(work), args...);
}

// Narrow (UTF-8) text of a host string; null is empty.
std::string Narrow(const OLECHAR* text);
// Puts a new host string into a slot.
void GiveText(BSTR* slot, std::string_view narrow);

}  // namespace zarnlocal
