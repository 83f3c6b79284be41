// The archive interfaces through which trend controls read a node's history and channels:
// 16-byte archive records and positions, and the methods in their fixed order (QueryInterface
// is 0). They belong to the plant product; the simulated nodes and the archive bridge serve them.
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
  // 6: one record per listed channel with its current value. The opaque arguments belong to
  // the product's archive; whoever forwards the call passes them on unchanged.
  virtual com::HRESULT read_values(std::int32_t opaque1, std::int32_t opaque2, std::int32_t opaque3,
                                   std::int32_t opaque4, std::int32_t count, const std::int16_t* channels,
                                   const arc_selector* selector, std::int32_t opaque5, arc_record* records,
                                   std::int32_t* status) = 0;
  // 7: a question answered with two integers; the archives of this system answer 0 and 0.
  virtual com::HRESULT query_pair(std::int32_t* first, std::int32_t* second) = 0;
  // 8: a question answered with one integer; the archives of this system answer 2 and E_NOTIMPL.
  virtual com::HRESULT query_word(std::int32_t* word) = 0;

protected:
  ~INvRegArchive() = default;
};

// A channel record of the channel browser (44 bytes): the channel number is the u16 at
// offset 28; the other bytes belong to the browser and are copied unchanged.
struct vx_channel_record {
  std::uint8_t bytes[44] = {};

  std::uint16_t channel() const { std::uint16_t c; std::memcpy(&c, bytes + 28, 2); return c; }
  void set_channel(std::uint16_t c) { std::memcpy(bytes + 28, &c, 2); }
};
static_assert(sizeof(vx_channel_record) == 44, "channel records are 44 bytes");

// A group record of the channel browser (42 bytes): the group name as UTF-16 text at offset 0
// (20 code units, zero-terminated when shorter), the group number as i16 at offset 40.
struct vx_group_record {
  char16_t name[20] = {};
  std::int16_t group = 0;
};
static_assert(sizeof(vx_group_record) == 42, "group records are 42 bytes");

// The channel browser of a node: its groups and channels. Records handed out by slots 7 and
// 8 are allocated with com::CoTaskMemAlloc and freed by the caller with com::CoTaskMemFree.
// Slots 9, 10, 13, 14 and 15 are questions whose meaning belongs to the product: `selector`
// says what is asked and `option` qualifies it; this system only routes them to the browser
// that knows the channel.
class IvxChBrowser : public com::IUnknown {
public:
  virtual com::HRESULT group_count(std::int32_t* count) = 0;                                    // 3
  virtual com::HRESULT get_groups(std::int32_t count, vx_group_record* groups) = 0;             // 4
  virtual com::HRESULT channel_count(std::int16_t group, std::int32_t* count) = 0;              // 5
  virtual com::HRESULT get_channels(std::int16_t group, std::int32_t count,
                                    vx_channel_record* records) = 0;                            // 6
  virtual com::HRESULT all_groups(std::int32_t* count, vx_group_record** groups) = 0;           // 7
  virtual com::HRESULT group_channels(const vx_group_record* group, std::int32_t* count,
                                      vx_channel_record** records) = 0;                         // 8
  // 9: an integer about the channel a record describes.
  virtual com::HRESULT query_channel(std::int32_t selector, const vx_channel_record* record, std::int32_t* value,
                                     std::int32_t option) = 0;
  // 10: an integer about the browser as a whole.
  virtual com::HRESULT query_browser(std::int32_t selector, std::int32_t argument, std::int32_t* value,
                                     std::int32_t option) = 0;
  virtual com::HRESULT fill_group(vx_group_record* group) = 0;                                  // 11
  virtual com::HRESULT fill_channel(vx_channel_record* record) = 0;                             // 12
  virtual com::HRESULT browser_word(std::int16_t* word) = 0;                                    // 13
  virtual com::HRESULT channel_word_of(std::uint16_t channel, std::int32_t selector,
                                       std::int16_t* word) = 0;                                 // 14
  virtual com::HRESULT channel_word(std::uint16_t channel, std::int16_t* word) = 0;             // 15

protected:
  ~IvxChBrowser() = default;
};

// The live-value monitor of a node. What its calls do belongs to the product; the names say
// how this system routes them. The calls that carry a channel number (10, 11, 12, 16) go
// through the archive bridge to the node that owns the channel; the reserved slots carry
// nothing this system uses and are kept for their place in the order.
class IvxKOV : public com::IUnknown {
public:
  virtual com::HRESULT monitor_reserved3() = 0;   // 3
  virtual com::HRESULT monitor_reserved4() = 0;   // 4
  virtual com::HRESULT monitor_reserved5() = 0;   // 5
  virtual com::HRESULT monitor_reserved6() = 0;   // 6
  virtual com::HRESULT monitor_reserved7() = 0;   // 7
  virtual com::HRESULT monitor_reserved8() = 0;   // 8
  virtual com::HRESULT monitor_reserved9() = 0;   // 9
  virtual com::HRESULT channel_request(std::int32_t selector, std::uint16_t channel, std::int32_t argument,
                                       std::int32_t option) = 0;                                       // 10
  virtual com::HRESULT channel_command(std::uint16_t channel, std::int32_t argument, std::int32_t option) = 0;  // 11
  virtual com::HRESULT channel_query(std::uint16_t channel, std::int32_t argument, std::int32_t option) = 0;    // 12
  virtual com::HRESULT monitor_reserved13() = 0;  // 13
  virtual com::HRESULT monitor_reserved14() = 0;  // 14
  // 15: the archive the monitor reads from, with a reference added.
  virtual com::HRESULT archive(INvRegArchive** reader) = 0;
  virtual com::HRESULT channel_notice(std::uint16_t channel, std::int32_t argument) = 0;  // 16
  // 17: a word about the monitor; the bridge answers 1.
  virtual com::HRESULT monitor_word(std::int16_t* word) = 0;

protected:
  ~IvxKOV() = default;
};

}  // namespace quillet
