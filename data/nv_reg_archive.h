// The archive interface through which trend controls read a node's history: 16-byte archive
// records and positions, and the methods in their fixed order (QueryInterface is 0).
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/com/unknown.h"

namespace quillet {

namespace com {
inline const IID IID_INvRegArchive = guid_of("{54E931C1-5C39-11D2-B58E-00409524E73B}");
inline const IID IID_IvxChBrowser = guid_of("{942DCE41-493B-11D2-9C59-0000E8DBF60C}");
inline const IID IID_IvxKOV = guid_of("{F48D8450-B3AB-11D3-9DFB-0000E8DBF60C}");
}  // namespace com

// One archive record, or a read position (little-endian, 16 bytes): time in whole seconds,
// milliseconds in the low 10 bits, channel number, then the value as a float and two bytes
// of flags (the byte at offset 13 carries the selector).
struct arc_record {
  std::uint32_t time = 0;
  std::uint16_t millis = 0;
  std::int16_t channel = 0;
  std::uint8_t data[8] = {};

  float value() const { float v; std::memcpy(&v, data, sizeof v); return v; }
  void set_value(float v) { std::memcpy(data, &v, sizeof v); }
};
static_assert(sizeof(arc_record) == 16, "archive records are 16 bytes");

// The channels a read asks for.
struct arc_channel_set {
  std::int32_t count = 0;
  const std::int16_t* channels = nullptr;
};

// The selector of a read: when `present` is not 0, `byte` points to the attribute byte that
// the records are read for.
struct arc_selector {
  std::int32_t present = 0;
  const std::uint8_t* byte = nullptr;
};

class INvRegArchive : public com::IUnknown {
public:
  // 3: the first and last positions of the archive.
  virtual com::HRESULT time_range(arc_record* first, arc_record* last, std::int32_t* status) = 0;
  // 4: up to `max_count` channel numbers from `first`; `written` says how many.
  virtual com::HRESULT channel_list(std::int32_t first, std::int32_t max_count, std::int32_t* written,
                                    std::int16_t* channels, std::int32_t* last) = 0;
  // 5: records from `start` up to the time of `next`, for the channel subset, at most `max`.
  virtual com::HRESULT read_records(const arc_record* start, arc_record* next, std::int32_t argument,
                                    const arc_channel_set* subset, const arc_selector* selector, std::int32_t max,
                                    std::int32_t* count, arc_record* records, std::int32_t* status) = 0;
  // 6: one record per listed channel with its current value.
  virtual com::HRESULT read_values(std::int32_t a1, std::int32_t a2, std::int32_t a3, std::int32_t a4,
                                   std::int32_t count, const std::int16_t* channels, const arc_selector* selector,
                                   std::int32_t a8, arc_record* records, std::int32_t* status) = 0;
  virtual com::HRESULT method7(std::int32_t* out1, std::int32_t* out2) = 0;  // 7
  virtual com::HRESULT method8(std::int32_t* out) = 0;                       // 8

protected:
  ~INvRegArchive() = default;
};

}  // namespace quillet
