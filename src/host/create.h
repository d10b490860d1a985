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
#include "host/com_types.h"
#include "host/host_api.h"
#include "host/nsid.h"
#include "host/unknown.h"

// The context is a set of the component model's class contexts (CLSCTX_*).
CFX_API CfxResult CfxCreateImpl(const nsID& clsid, IUnknown* outer, std::uint32_t context, const nsID& iid, void** out,
                                int throwFlag);
