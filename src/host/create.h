// CfxCreateImpl: creating host objects by class identifier.
//
// The host registers a factory per class identifier (see the framework's host
// side). CfxCreateImpl finds it and asks it for the interface `iid` of a new
// object. It returns the outcome as a result; with a non-zero throw flag a
// failure is raised instead. Without a factory for the class the outcome is
// REGDB_E_CLASSNOTREG.
#pragma once

#include <cstdint>

#include "host/cfx_result.h"
#include "host/host_api.h"
#include "host/nsid.h"
#include "host/unknown.h"

// Class contexts in the component model's convention.
inline constexpr std::uint32_t CLSCTX_INPROC_SERVER = 0x1;
inline constexpr std::uint32_t CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr std::uint32_t CLSCTX_REMOTE_SERVER = 0x10;

CFX_API CfxResult CfxCreateImpl(const nsID& clsid, IUnknown* outer, std::uint32_t context, const nsID& iid, void** out,
                                int throwFlag);
