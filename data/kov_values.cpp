// Channel references, historical values, events and filters: their keys, time stamps and
// clear operations.
#include "data/kov_values.h"

namespace quillet {

std::int32_t kov_chan_key(const kov_chan_ident& ident) {
  const auto high = static_cast<std::uint32_t>(static_cast<std::uint16_t>(ident.node)) << 16;
  const auto low = static_cast<std::uint32_t>(static_cast<std::uint16_t>(ident.channel));
  return static_cast<std::int32_t>(high | low);
}

void kov_chan_ref::clear() {
  anyval_imp_int::clear();
  ident = kov_chan_ident{};
}

void kov_data_value_imp::clear() {
  kov_data_value::clear();
  stamp = kov_time_record{};
  ident = kov_chan_ident{};
}

// A value without a time stamp (seconds 0) has none and gives 0.0.
bool kov_data_value_imp::time(double& out) const {
  if (stamp.seconds == 0) {
    out = 0.0;
    return false;
  }
  out = kov_record_time(stamp);
  return true;
}

void kov_data_value_imp::channel(anyval& out) const { out = kov_make_chan_ref(ident); }

void kov_event_ref::clear() {
  anyval_imp_string::clear();
  ident = kov_chan_ident{};
  code = 0;
  severity = 0;
  time = 0.0;
}

void kov_filter_ref::clear() {
  anyval_imp_string::clear();
  time_from = 0.0;
  time_to = -1.0;
  severity_min = 0;
  severity_max = -1;
  channel_mask.clear();
  code_mask.clear();
}

anyval kov_make_chan_ref(const kov_chan_ident& ident) { return anyval(make_rc<kov_chan_ref>(ident)); }

}  // namespace quillet
