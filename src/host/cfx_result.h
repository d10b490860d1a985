// CfxResult: the host's result value and the exception every failure raises.
//
// A result is a status code, a description and a last-description action
// (how the host is to treat the description: the library passes 0 for its
// argument checks and 1 for a failed download).
//
// The last error is kept per thread by the framework: SetLastError stores a
// result, LastErrorCheckNotS_OK gives back the one stored last.
#pragma once

#include <string>

#include "host/host_api.h"
#include "host/nsid.h"
#include "host/status.h"

ZARN_EXPORTED_CLASSES_BEGIN

class CFX_API CfxResult {
 public:
  CfxResult() noexcept = default;  // S_OK, no description
  CfxResult(HRESULT code, std::string description, int lastDescriptionAction = 0);
  CfxResult(const CfxResult&) = default;
  CfxResult(CfxResult&&) noexcept = default;
  CfxResult& operator=(const CfxResult&) = default;
  CfxResult& operator=(CfxResult&&) noexcept = default;
  ~CfxResult();

  HRESULT Code() const noexcept { return code_; }
  const std::string& Description() const noexcept { return description_; }
  int LastDescriptionAction() const noexcept { return lastDescriptionAction_; }

  // The framework's standard result for a code, with its standard text.
  static CfxResult StandardDescription(HRESULT code);
  // Stores the given result, or the standard result of the code, as this
  // thread's last error.
  //
  // As with COM error info, a description outlives the status that carries
  // it: when SetLastError(code) follows SetLastError(result) with the same
  // code (an operation stored why it failed, then its caller checks the
  // status it returned), the stored result stays, description and all. That
  // keeps it for one such call only; a later SetLastError(code), or one with
  // another code, stores the standard result.
  static void SetLastError(HRESULT code);
  static void SetLastError(const CfxResult& result);
  // This thread's last error as stored by the latest SetLastError. When none
  // has been stored (or S_OK was), it is E_UNEXPECTED saying so: the caller
  // asked for an error that is not there.
  static CfxResult LastErrorCheckNotS_OK();

 private:
  HRESULT code_ = S_OK;
  std::string description_;
  int lastDescriptionAction_ = 0;
};

// The result that a failed checked query raises: the code and the identifier asked for.
CFX_API CfxResult QueryInterfaceFailure(HRESULT code, const nsID& iid);

// Raises CfxResult E_POINTER when pointer is null; returns otherwise.
CFX_API void CheckNullDereference(const void* pointer);

// Records that a catch-all handler caught an exception of a type it does not know.
CFX_API void DiagnoseEntryToGenericCatch() noexcept;

ZARN_EXPORTED_CLASSES_END
