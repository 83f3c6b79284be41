// The contract between a report's embedded-control renderer and the trend control: the class
// and interface identifiers, the 120-byte settings record, the 104-byte curve record, and the
// display and data interfaces in their fixed method order (QueryInterface is 0). Records are
// little-endian and laid out exactly as the fields below; nothing else is shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "platform/com/nv_reg_archive.h"
#include "platform/com/unknown.h"
#include "platform/gdi/font_record.h"

namespace quillet::trend {

inline const com::CLSID CLSID_trend_control = com::guid_of("{12175724-4241-11D2-9C51-0000E8DBF60C}");
inline const com::IID IID_trend_display = com::guid_of("{12175723-4241-11D2-9C51-0000E8DBF60C}");
inline const com::IID IID_trend_data = com::guid_of("{1217571F-4241-11D2-9C51-0000E8DBF60C}");

// Settings flags (offset 90).
inline constexpr std::uint16_t settings_base_flags = 0x2090;
inline constexpr std::uint16_t settings_has_marks = 0x0002;   // TMARKS or VMARKS given
inline constexpr std::uint16_t settings_has_tunits = 0x0001;  // TUNITS is not 0xFFFF
inline constexpr std::uint16_t settings_has_digits = 0x0040;  // VDIGITS is not 0

struct trend_settings {
  std::uint16_t version = 0;     // 0: 0x1000
  std::uint16_t control_word = 0;  // 2: the control's own
  std::int32_t dt = 0;           // 4: time span in seconds
  std::int16_t tmarks = 0;       // 8: marks on the time axis
  std::int16_t vmarks = 0;       // 10: marks on the value axis
  std::int16_t grid_style = 0;   // 12
  std::uint16_t zero14 = 0;      // 14
  std::uint32_t grid_color = 0;  // 16: 0xBBGGRR
  std::uint32_t bg_color = 0;    // 20: 0xBBGGRR
  logfont font;                  // 24: 60 bytes
  std::int16_t tunits = 0;       // 84
  std::int16_t vdigits = 0;      // 86
  std::int16_t vdigits_dp = 0;   // 88
  std::uint16_t flags = 0;       // 90
  std::uint8_t control_tail[28] = {};  // 92: the control's own
};
static_assert(sizeof(trend_settings) == 120, "the settings record is 120 bytes");
static_assert(offsetof(trend_settings, font) == 24 && offsetof(trend_settings, tunits) == 84 &&
                  offsetof(trend_settings, flags) == 90 && offsetof(trend_settings, control_tail) == 92,
              "settings fields keep their offsets");

// Curve flags (offset 24).
inline constexpr std::uint16_t curve_flag_discrete = 0x0001;  // the channel's kind bit 0: steps
inline constexpr std::uint16_t curve_flag_base = 0x0002;
inline constexpr std::uint16_t curve_flag_no_interpolation = 0x0004;  // LINT given as zero or not an integer

struct trend_curve {
  std::uint32_t zero0 = 0;       // 0
  std::uint32_t channel = 0;     // 4: channel number in the attached archive
  std::uint16_t attribute = 0;   // 8: attribute code of the channel reference
  std::uint16_t pad10 = 0;
  float min_value = 0;           // 12: MINVAL, bottom of the scale
  float max_value = 0;           // 16: MAXVAL, top of the scale
  std::uint32_t zero20 = 0;      // 20
  std::uint16_t flags = 0;       // 24
  std::int16_t line_type = 0;    // 26: LTYPE
  std::int16_t line_width = 0;   // 28: LWIDTH
  std::uint16_t pad30 = 0;
  std::uint32_t color = 0;       // 32: COLOR, 0xBBGGRR
  std::uint8_t mark = 0;         // 36: MARK
  std::uint8_t pad37 = 0;
  std::uint16_t zero38 = 0;      // 38
  std::uint8_t reserved[64] = {};  // 40
};
static_assert(sizeof(trend_curve) == 104, "curve records are 104 bytes");
static_assert(offsetof(trend_curve, min_value) == 12 && offsetof(trend_curve, flags) == 24 &&
                  offsetof(trend_curve, color) == 32 && offsetof(trend_curve, mark) == 36,
              "curve fields keep their offsets");

// The display interface: what is drawn and how. The reserved slots belong to the control and
// are kept for their place in the order; the renderer never calls them.
class ITrendDisplay : public com::IUnknown {
public:
  virtual com::HRESULT display_reserved3() = 0;  // 3
  // 4: replaces the curves; count 0 with a null array removes them all.
  virtual com::HRESULT set_curves(std::int32_t count, const trend_curve* curves) = 0;
  virtual com::HRESULT get_settings(trend_settings* settings) = 0;        // 5
  virtual com::HRESULT set_settings(const trend_settings* settings) = 0;  // 6
  virtual com::HRESULT display_reserved7() = 0;  // 7
  virtual com::HRESULT display_reserved8() = 0;  // 8
  virtual com::HRESULT display_reserved9() = 0;  // 9
  virtual com::HRESULT attach_browser(IvxChBrowser* browser) = 0;  // 10

protected:
  ~ITrendDisplay() = default;
};

// The data interface: where the curves' history comes from and which window is shown. The
// reserved slots belong to the control and are kept for their place in the order.
class ITrendData : public com::IUnknown {
public:
  virtual com::HRESULT data_reserved3() = 0;  // 3
  virtual com::HRESULT data_reserved4() = 0;  // 4
  virtual com::HRESULT data_reserved5() = 0;  // 5
  virtual com::HRESULT data_reserved6() = 0;  // 6
  virtual com::HRESULT data_reserved7() = 0;  // 7
  virtual com::HRESULT attach_archive(INvRegArchive* archive) = 0;  // 8
  virtual com::HRESULT attach_browser(IvxChBrowser* browser) = 0;   // 9
  virtual com::HRESULT data_reserved10() = 0;  // 10
  virtual com::HRESULT data_reserved11() = 0;  // 11
  virtual com::HRESULT data_reserved12() = 0;  // 12
  virtual com::HRESULT data_reserved13() = 0;  // 13
  virtual com::HRESULT data_reserved14() = 0;  // 14
  virtual com::HRESULT data_reserved15() = 0;  // 15
  // 16: the reading mode; the renderer selects 1, history.
  virtual com::HRESULT set_mode(std::int32_t mode) = 0;
  // 17: the start of the shown window, whole seconds since 1970 and milliseconds.
  virtual com::HRESULT set_time(std::uint32_t seconds, std::uint16_t millis) = 0;

protected:
  ~ITrendData() = default;
};

// What the legend shows of each curve a template asks for, in the template's order, whether
// or not the channel gave a curve record. Our addition beside the records: a host that never
// sends it gets a picture without a legend.
inline const com::IID IID_trend_legend = com::guid_of("{7A3C1E52-5B0D-4C8E-9F41-2D6B8E0A7C13}");

// Why a curve the template asked for has no data; the legend says "no data: " and the reason.
enum class trend_fault : std::int32_t {
  none = 0,
  unknown_channel = 1,  // the value is no channel reference, or its channel is not in the project
  no_archive = 2,       // the channel's node serves no archive
  read_failed = 3,      // reading the archive failed
};

struct trend_legend_entry {
  std::int32_t curve = -1;          // index of its curve record; -1 when the channel gave none
  std::u16string name;              // the channel's name, or its code and comment
  std::u16string unit;              // the channel's unit, empty when it has none
  trend_fault fault = trend_fault::none;
  std::uint32_t color = 0;          // the pen of an entry without a curve record, 0xBBGGRR
  std::int16_t line_type = 0;
};

class ITrendLegend : public com::IUnknown {
public:
  // 3: replaces the legend entries; count 0 with a null array removes the legend.
  virtual com::HRESULT set_legend(std::int32_t count, const trend_legend_entry* entries) = 0;

protected:
  ~ITrendLegend() = default;
};

// The picture as an SVG document, drawn by the same code as the bitmap: our addition, so that
// a report can ask for charts that print crisply.
inline const com::IID IID_trend_svg = com::guid_of("{7A3C1E53-5B0D-4C8E-9F41-2D6B8E0A7C13}");

class ITrendSvg : public com::IUnknown {
public:
  // 3: writes the picture of width x height pixels to the stream; E_FAIL when the size is
  // refused or the drawing library fails.
  virtual com::HRESULT write_svg(std::int32_t width, std::int32_t height, std::ostream& out) = 0;

protected:
  ~ITrendSvg() = default;
};

// Registers the trend control under its class identifier (once; later calls do nothing).
void register_trend_control();

}  // namespace quillet::trend
