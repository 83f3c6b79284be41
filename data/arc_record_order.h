// The order of archive records and positions, and the step from one position to the next:
// records sort by time, milliseconds, channel taken as unsigned and sequence number.
#pragma once

#include <cstdint>

#include "platform/com/nv_reg_archive.h"

namespace quillet {

// The milliseconds of a record or position: the low 10 bits of its second field.
inline std::uint16_t arc_millis(const arc_record& r) { return static_cast<std::uint16_t>(r.millis & 0x3FF); }
// The sequence number: bits 0 to 5 of the byte at offset 13.
inline std::uint8_t arc_sequence(const arc_record& r) { return static_cast<std::uint8_t>(r.data[5] & 0x3F); }
inline void arc_set_sequence(arc_record& r, std::uint8_t sequence) {
  r.data[5] = static_cast<std::uint8_t>((r.data[5] & ~0x3F) | (sequence & 0x3F));
}

// True when `a` comes before `b` in the archive order.
bool arc_record_less(const arc_record& a, const arc_record& b);

// True when two positions name the same place: time, milliseconds, channel and sequence.
bool arc_same_position(const arc_record& a, const arc_record& b);

// The position just after `r`: the sequence number plus one; after sequence 63 the next
// channel, and after channel -1 the next millisecond, 999 wrapping into the next second.
arc_record arc_next_position(const arc_record& r);

}  // namespace quillet
