#include "frame/call_frame.h"

#include <exception>
#include <new>

namespace zarn {

void StoreStatus(HRESULT status) {
  CfxResult::SetLastError(status);
  if (FAILED(status)) throw CfxResult::LastErrorCheckNotS_OK();
}

void Raise(HRESULT code, const std::string& message, int lastDescriptionAction) {
  const CfxResult result(code, message, lastDescriptionAction);
  throw CfxResult(result);
}

CfxResult ResultOfCurrentException() {
  try {
    throw;
  } catch (const CfxResult& result) {
    return result;
  } catch (HRESULT status) {
    return CfxResult::StandardDescription(status);
  } catch (const std::bad_alloc& error) {
    return CfxResult(E_OUTOFMEMORY, error.what());
  } catch (const std::exception& error) {
    return CfxResult(E_FAIL, error.what());
  } catch (...) {
    DiagnoseEntryToGenericCatch();
    return CfxResult(E_FAIL, "Internal Error");
  }
}

void QuietRelease(CfxVariant& holder) noexcept {
  try {
    try {
      holder.Clear();
    } catch (...) {
      throw ResultOfCurrentException();
    }
  } catch (const CfxResult& result) {
    // The release reports nothing; the description is read and dropped.
    static_cast<void>(result.Description());
  } catch (...) {
    // Building the result itself ran out of memory: still nothing to report.
  }
}

}  // namespace zarn
