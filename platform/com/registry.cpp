// The component registry: a short list searched in order.
#include "platform/com/registry.h"

#include <utility>
#include <vector>

namespace quillet::com {

namespace {

std::vector<std::pair<CLSID, component_factory>>& classes() {
  static std::vector<std::pair<CLSID, component_factory>> table;
  return table;
}

component_factory find_factory(const CLSID& clsid) {
  for (const auto& [id, factory] : classes())
    if (id == clsid)
      return factory;
  return nullptr;
}

}  // namespace

void register_component(const CLSID& clsid, component_factory factory) {
  for (auto& entry : classes())
    if (entry.first == clsid) {
      entry.second = factory;
      return;
    }
  classes().emplace_back(clsid, factory);
}

void unregister_component(const CLSID& clsid) {
  std::erase_if(classes(), [&](const auto& entry) { return entry.first == clsid; });
}

HRESULT CoCreateInstance(const CLSID& clsid, const IID& iid, void** out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  const component_factory factory = find_factory(clsid);
  if (!factory)
    return REGDB_E_CLASSNOTREG;
  IUnknown* object = factory();
  if (!object)
    return E_FAIL;
  const HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

}  // namespace quillet::com
