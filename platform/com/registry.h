// The component registry: class identifiers mapped to factories, in place of the system's
// class registration. Components register themselves once; creating an unknown class fails.
#pragma once

#include "platform/com/unknown.h"

namespace quillet::com {

// Makes a new object (one reference, the caller's) and asks it for `iid`; the factory's own
// reference is dropped afterwards.
using component_factory = IUnknown* (*)();

// Registers (or replaces) the factory of a class.
void register_component(const CLSID& clsid, component_factory factory);
// Removes a class; later creations fail as not registered.
void unregister_component(const CLSID& clsid);

// Creates an object of the class and stores its `iid` interface: REGDB_E_CLASSNOTREG for an
// unknown class, E_NOINTERFACE when the object lacks the interface, E_POINTER without `out`.
HRESULT CoCreateInstance(const CLSID& clsid, const IID& iid, void** out);

}  // namespace quillet::com
