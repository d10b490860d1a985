#include "documents/server_lock.h"

#include <string_view>

#include "host/bstr.h"
#include "host/com_ptr.h"

namespace zarn {
namespace {

void ApplyServerLock(ISBDocumentRoot* document, HRESULT (ISBLockable::*operation)(BSTR)) {
  if (!document) return;
  const auto lockable = CfxComPtr<ISBLockable>::TryQuery(document);
  if (!lockable) return;
  const CfxBSTR owner{CfxWStringView(kServerLockOwner)};
  // The status is dropped on purpose: it is neither stored nor checked.
  static_cast<void>((lockable.get()->*operation)(owner.in()));
}

}  // namespace

void LockDocument(ISBDocumentRoot* document) { ApplyServerLock(document, &ISBLockable::Lock); }

void UnlockDocument(ISBDocumentRoot* document) { ApplyServerLock(document, &ISBLockable::Unlock); }

}  // namespace zarn
