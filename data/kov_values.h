// The process-data values of the expression language: channel and object references,
// historical values, events and event filters. Each is an ordinary value of its base kind
// (a reference is an integer, a historical value a float, events and filters strings) that
// carries a channel identity, never a pointer into the source that made it. Immutable once
// handed out.
#pragma once

#include <cstdint>
#include <string>

#include "data/kov_time_record.h"
#include "txl/anyval.h"

namespace quillet {

// The common key of references, values and events.
struct kov_chan_ident {
  std::int16_t node = -1;     // index in the source's node table; -1 when unset
  std::int16_t object = 0;    // object (channel group) within the node; 0 when unset
  std::int16_t channel = -1;  // -1 for a reference to a whole object
  std::uint8_t attribute = 0; // 0 for the channel value itself
  std::uint8_t kind = 0;      // channel kind as the project reports it

  friend bool operator==(const kov_chan_ident&, const kov_chan_ident&) = default;
};

// The integer of a reference: node in the high half, the channel as an unsigned 16-bit number
// in the low half (so an object reference ends in 0xFFFF).
std::int32_t kov_chan_key(const kov_chan_ident& ident);

// A channel reference, or an object reference when the channel is -1.
class kov_chan_ref final : public anyval_imp_int {
public:
  kov_chan_ref() : kov_chan_ref(kov_chan_ident{}) {}
  explicit kov_chan_ref(const kov_chan_ident& ident) : anyval_imp_int(kov_chan_key(ident)), ident(ident) {}
  // Resets the identity to the unset one.
  void clear() override;
  kov_chan_ident ident;
};

// A historical value: the float is the channel value.
class kov_data_value : public anyval_imp_float {
public:
  using anyval_imp_float::anyval_imp_float;
  // Stores the time stamp as a float time; false (storing 0.0) when the value has none.
  virtual bool time(double& out) const = 0;
  // Stores a new reference to the value's channel.
  virtual void channel(anyval& out) const = 0;
};

class kov_data_value_imp final : public kov_data_value {
public:
  kov_data_value_imp() = default;
  kov_data_value_imp(double value, const kov_time_record& stamp, const kov_chan_ident& ident)
      : kov_data_value(value), stamp(stamp), ident(ident) {}
  // Value, time and identity become 0, no time and unset.
  void clear() override;
  bool time(double& out) const override;
  void channel(anyval& out) const override;
  kov_time_record stamp;
  kov_chan_ident ident;
};

// One event of the event log: the string is its message text.
class kov_event_ref final : public anyval_imp_string {
public:
  kov_event_ref() = default;
  kov_event_ref(std::string text, const kov_chan_ident& ident, std::int32_t code, std::int32_t severity,
                double time)
      : anyval_imp_string(std::move(text)), ident(ident), code(code), severity(severity), time(time) {}
  void clear() override;
  kov_chan_ident ident;
  std::int32_t code = 0;      // what ETYPE returns
  std::int32_t severity = 0;  // the severity class, what SEVERITY returns
  double time = 0.0;          // float time of the event
};

// An event filter made by EFILTER: the string is the message-text pattern. A bound of -1
// and an empty pattern mean no condition; patterns use ? for one character and * for a run.
class kov_filter_ref final : public anyval_imp_string {
public:
  // Restores the initial values below and empties the text pattern.
  void clear() override;
  double time_from = 0.0;
  double time_to = -1.0;
  std::int32_t severity_min = 0;
  std::int32_t severity_max = -1;
  std::string channel_mask;
  std::string code_mask;
};

// Builds a value holding a new reference to the identity.
anyval kov_make_chan_ref(const kov_chan_ident& ident);

}  // namespace quillet
