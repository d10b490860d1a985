// The one hook point through which every interface method of the local host
// reports a call that came from outside: the interface, the operation, its
// input arguments formatted as text, the status it returned and, for a
// failure, the description stored as the last error; for the calls on a
// document (lock, unlock) also the document's path.
//
// Calls that the local host makes on its own objects go to their C++ methods
// directly and are never reported, so an observer sees exactly what a client
// (the library, a test, a tool) asked of the host.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "host/nsid.h"
#include "host/status.h"
#include "host/unknown.h"

namespace zarnlocal {

struct CallRecord {
  std::string interfaceName;  // "ISBUrlFactory"
  std::string operation;      // "SetHidden"
  std::string arguments;      // "\"/p/a.txt\", 65535"
  HRESULT status = S_OK;
  std::string description;  // the description the call stored as the last error; empty when it stored none
  std::string target;       // what the call was made on, where a watcher needs it: a document's path
};

using CallObserver = std::function<void(const CallRecord&)>;

// Installs the observer of every interface call (an empty one removes it).
// The observer runs on the calling thread, after the operation; what it
// throws is dropped.
void SetCallObserver(CallObserver observer);

// One line per call: ISBUrlFactory.SetHidden("/p/a.txt", 65535) -> 0x00000000
std::string FormatCall(const CallRecord& record);

// The status as eight hexadecimal digits, the way the host quotes codes.
std::string FormatStatus(HRESULT status);

// Arguments the way FormatCall writes them, for a tool that traces calls the
// host does not see itself (cfx/call_tracer.h): narrow text in double quotes
// with C escapes; a host object by what it names (a location by its URL
// text), null as null; an identifier by its interface's name when known.
std::string FormatText(std::string_view narrow);
std::string FormatObject(const IUnknown* object);
std::string FormatIdentifier(const nsID& id);

}  // namespace zarnlocal
