// IUnknown: the base of every host interface, and the identifier trait.
//
// Every host interface starts with the three operations of IUnknown (from
// com_types.h). An interface that the library asks for by query declares its
// identifier with CFX_DECLARE_IID, beside the interface rather than inside
// it, so that the platform's own IUnknown has one too; InterfaceIdOf<I>
// reads it. An interface gets no identifier from its base: a query for one
// without its own is a compile error, not a wrong question at run time.
//
//   class ISBLockable : public IUnknown { ... };
//   CFX_DECLARE_IID(ISBLockable, "{D4620F88-E556-93B1-20F6-5CE115B0DC0A}");
#pragma once

#include "host/com_types.h"
#include "host/nsid.h"
#include "host/status.h"

// Specialised once per identified interface, by CFX_DECLARE_IID only.
template <class I>
struct CfxInterfaceId;

#define CFX_DECLARE_IID(Interface, text)              \
  template <>                                         \
  struct CfxInterfaceId<Interface> {                  \
    static constexpr nsID value = nsIDFromText(text); \
  }

template <class I>
concept HasInterfaceId = requires {
  CfxInterfaceId<I>::value;
};

template <HasInterfaceId I>
inline constexpr const nsID& InterfaceIdOf = CfxInterfaceId<I>::value;

CFX_DECLARE_IID(IUnknown, "{00000000-0000-0000-C000-000000000046}");
