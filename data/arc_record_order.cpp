// Comparing archive positions and stepping from one to the next.
#include "data/arc_record_order.h"

#include <tuple>

namespace quillet {

namespace {

// The fields that place a record: time, milliseconds, channel as unsigned so that an
// unresolved channel (-1) sorts last, and the sequence number.
std::tuple<std::uint32_t, std::uint16_t, std::uint16_t, std::uint8_t> key_of(const arc_record& r) {
  return {r.time, arc_millis(r), static_cast<std::uint16_t>(r.channel), arc_sequence(r)};
}

}  // namespace

bool arc_record_less(const arc_record& a, const arc_record& b) { return key_of(a) < key_of(b); }

bool arc_same_position(const arc_record& a, const arc_record& b) { return key_of(a) == key_of(b); }

// The other bytes of the record are kept: only the place moves.
arc_record arc_next_position(const arc_record& r) {
  arc_record next = r;
  const std::uint8_t sequence = arc_sequence(r);
  if (sequence < 63) {
    arc_set_sequence(next, static_cast<std::uint8_t>(sequence + 1));
    return next;
  }
  arc_set_sequence(next, 0);
  if (r.channel != -1) {
    next.channel = static_cast<std::int16_t>(r.channel + 1);
    return next;
  }
  const std::uint16_t millis = arc_millis(r);
  const std::uint16_t high_bits = static_cast<std::uint16_t>(r.millis & ~0x3FF);
  if (millis < 999) {
    next.millis = static_cast<std::uint16_t>(high_bits | (millis + 1));
    return next;
  }
  next.millis = high_bits;
  next.time = r.time + 1;
  return next;
}

}  // namespace quillet
