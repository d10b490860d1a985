// The server's lock on a document: the host's lock under the owner label
// "Corvane Server", set and lifted through the document's ISBLockable.
//
// Both steps leave a null document, or one that cannot be locked, alone, and
// neither ever fails on the host's answer: the lock is the host's, and a
// document that refuses it must not stop an import or a refresh.
#pragma once

#include "host/project_interfaces.h"

namespace zarn {

inline constexpr OLECHAR kServerLockOwner[] = OLESTR("Corvane Server");

void LockDocument(ISBDocumentRoot* document);
void UnlockDocument(ISBDocumentRoot* document);

}  // namespace zarn
