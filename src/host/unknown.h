// IUnknown: the base of every host interface, and the identifier trait.
//
// Every host interface starts with these three operations. An interface that
// the library asks for by query declares its identifier with CFX_DECLARE_IID;
// InterfaceIdOf<I> reads it. The owner check keeps a derived interface from
// silently inheriting its base's identifier, so a query for an interface
// without one of its own is a compile error, not a wrong question at run time.
#pragma once

#include <cstdint>
#include <type_traits>

#include "host/nsid.h"
#include "host/status.h"

#define CFX_DECLARE_IID(Interface, text) \
  using IIDOwner = Interface;            \
  static constexpr nsID kIID = nsID::FromText(text)

class IUnknown {
 public:
  CFX_DECLARE_IID(IUnknown, "{00000000-0000-0000-C000-000000000046}");

  // On success *out holds a new reference; on failure *out is null.
  virtual HRESULT QueryInterface(const nsID& iid, void** out) = 0;
  virtual std::uint32_t AddRef() = 0;
  virtual std::uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

template <class I>
concept HasInterfaceId = std::is_same_v<typename I::IIDOwner, I>;

template <HasInterfaceId I>
inline constexpr const nsID& InterfaceIdOf = I::kIID;
