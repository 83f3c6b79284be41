// Registration of the trend control with the component registry.
#include "platform/com/registry.h"
#include "platform/trend/trend_control.h"

namespace quillet::trend {

namespace {

// A new control with its creator's reference, handed out as IUnknown.
com::IUnknown* make_trend_control() { return static_cast<com::IOleObject*>(new trend_control); }

}  // namespace

void register_trend_control() { com::register_component(CLSID_trend_control, make_trend_control); }

}  // namespace quillet::trend
