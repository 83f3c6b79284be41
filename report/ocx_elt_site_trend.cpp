// The trend control's site: the element's properties become the control's display settings
// and curves, and the curves read the report's data source through the archive bridge.
#include <cmath>
#include <cstdint>
#include <vector>

#include "data/kov_runtime_data_source.h"
#include "data/kov_values.h"
#include "doc/style_values.h"
#include "platform/com/wide_text.h"
#include "platform/project/project_interfaces.h"
#include "platform/trend/trend_interfaces.h"
#include "report/htdoc_processor.h"
#include "report/html_dyn_elt.h"
#include "report/ocx_elt_site.h"
#include "report/ocx_trend_feed.h"

namespace quillet {

namespace {

using trend::ITrendData;
using trend::ITrendDisplay;
using trend::trend_curve;
using trend::trend_settings;

// The value of the element's property; false when it is absent or its evaluation fails.
bool prop_value(html_dyn_elt_ocx& element, const char* name, anyval& out) {
  txl_user_function* prop = element.find_prop(name);
  return prop && element.processor && element.processor->evaluate(*prop, out);
}

bool prop_int(html_dyn_elt_ocx& element, const char* name, std::int32_t& out) {
  anyval value;
  return prop_value(element, name, value) && value.to_int(out);
}

// A colour as 0x00BBGGRR: text is read as an HTML colour ("#RGB", "#RRGGBB" or a name), any
// other value as a number. False when neither reading works.
bool colour_of(const anyval& value, std::uint32_t& out) {
  if (const std::string* text = value.as_string()) {
    colorref colour = 0;
    if (!parse_color(*text, &colour))
      return false;
    out = colour;
    return true;
  }
  std::int32_t number = 0;
  if (!value.to_int(number))
    return false;
  out = static_cast<std::uint32_t>(number);
  return true;
}

// Stores a property into a 16-bit settings field only when it is there and not negative.
void set_if_not_negative(html_dyn_elt_ocx& element, const char* name, std::int16_t& field) {
  std::int32_t n = 0;
  if (prop_int(element, name, n) && n >= 0)
    field = static_cast<std::int16_t>(n);
}

void set_colour(html_dyn_elt_ocx& element, const char* name, std::uint32_t& field) {
  anyval value;
  if (prop_value(element, name, value))
    colour_of(value, field);
}

// The time span: a minute without DT or when DT is below one second; a DT that gives no
// number leaves the control's own span.
void set_time_span(html_dyn_elt_ocx& element, std::int32_t& field) {
  txl_user_function* prop = element.find_prop("DT");
  if (!prop) {
    field = 60;
    return;
  }
  std::int32_t dt = 0;
  anyval value;
  if (element.processor && element.processor->evaluate(*prop, value) && value.to_int(dt))
    field = dt < 1 ? 60 : dt;
}

// The record as the control gave it, with the fixed fields set and every property that is
// present applied; the flags tell the control which of the optional fields to honour.
void fill_settings(html_dyn_elt_ocx& element, trend_settings& s) {
  s.version = 0x1000;
  s.grid_color = 0x808080;
  s.bg_color = 0xFFFFFF;
  s.zero14 = 0;
  set_time_span(element, s.dt);
  set_if_not_negative(element, "TMARKS", s.tmarks);
  set_if_not_negative(element, "TUNITS", s.tunits);
  set_if_not_negative(element, "VMARKS", s.vmarks);
  set_if_not_negative(element, "VDIGITS", s.vdigits);
  set_if_not_negative(element, "VDIGITSDP", s.vdigits_dp);
  set_colour(element, "GRID_COLOR", s.grid_color);
  set_if_not_negative(element, "GRID_STYLE", s.grid_style);
  set_colour(element, "BGCOLOR", s.bg_color);
  s.flags = trend::settings_base_flags;
  anyval font;
  std::string text;
  if (prop_value(element, "FONT", font) && font.to_text(text))
    parse_font(text, s.font);
  if (s.tmarks != 0 || s.vmarks != 0)
    s.flags |= trend::settings_has_marks;
  if (static_cast<std::uint16_t>(s.tunits) != 0xFFFF)
    s.flags |= trend::settings_has_tunits;
  if (s.vdigits != 0)
    s.flags |= trend::settings_has_digits;
}

// The per-curve properties, each evaluated once for all curves.
struct curve_props {
  anyval colour, line_type, line_width, mark, min_value, max_value, interpolation;
};

// What a property gives curve i: element i modulo the size of a vector (an empty vector
// gives nothing), the value itself otherwise; null when the property gave nothing.
const anyval* value_for(const anyval& value, std::size_t i) {
  if (value.empty())
    return nullptr;
  const anyval_list* list = value.as_vector();
  if (!list)
    return &value;
  return list->empty() ? nullptr : &(*list)[i % list->size()];
}

std::int32_t int_for(const anyval& value, std::size_t i, std::int32_t fallback) {
  const anyval* v = value_for(value, i);
  std::int32_t n = fallback;
  if (!v || !v->to_int(n))
    return fallback;
  return n;
}

double double_for(const anyval& value, std::size_t i) {
  const anyval* v = value_for(value, i);
  double d = 0;
  if (!v || !v->to_double(d))
    return 0;
  return d;
}

// The curve record of curve i on bridge channel `number`. A scale whose top is not above its
// bottom becomes 0 to 100; LINT given as zero or as no integer turns interpolation off; a
// discrete channel (kind bit 0) is drawn in steps.
trend_curve make_curve(const curve_props& props, std::size_t i, int number, const kov_chan_ident& ident) {
  trend_curve c{};
  c.channel = static_cast<std::uint32_t>(number & 0xFFFF);
  c.attribute = ident.attribute;
  double low = double_for(props.min_value, i);
  double high = double_for(props.max_value, i);
  if (!(high > low)) {
    low = 0;
    high = 100;
  }
  c.min_value = static_cast<float>(low);
  c.max_value = static_cast<float>(high);
  c.flags = trend::curve_flag_base;
  std::int32_t lint = 0;
  const anyval* interpolation = value_for(props.interpolation, i);
  if (interpolation && (!interpolation->to_int(lint) || lint == 0))
    c.flags |= trend::curve_flag_no_interpolation;
  if (ident.kind & 1)
    c.flags |= trend::curve_flag_discrete;
  c.line_type = static_cast<std::int16_t>(int_for(props.line_type, i, 0));
  c.line_width = static_cast<std::int16_t>(int_for(props.line_width, i, 0));
  if (const anyval* colour = value_for(props.colour, i))
    colour_of(*colour, c.color);
  c.mark = static_cast<std::uint8_t>(int_for(props.mark, i, 0));
  return c;
}

curve_props read_curve_props(html_dyn_elt_ocx& element) {
  curve_props p;
  prop_value(element, "COLOR", p.colour);
  prop_value(element, "LTYPE", p.line_type);
  prop_value(element, "LWIDTH", p.line_width);
  prop_value(element, "MARK", p.mark);
  prop_value(element, "MINVAL", p.min_value);
  prop_value(element, "MAXVAL", p.max_value);
  prop_value(element, "LINT", p.interpolation);
  return p;
}

// The start of the shown window: TIME when it is a positive time, else DT seconds before the
// report time; pinned to what 32-bit seconds can hold.
double window_start(html_dyn_elt_ocx& element, std::int32_t dt) {
  anyval value;
  double t = 0;
  if (!prop_value(element, "TIME", value) || !value.to_double(t) || !(t > 0))
    t = static_cast<double>(element.processor->report_time()) - dt;
  return std::fmin(std::fmax(t, 0.0), 4294967295.0);
}

}  // namespace

ocx_elt_site_trend::ocx_elt_site_trend(html_dyn_elt_ocx& owner_element, const com::CLSID& id)
    : ocx_elt_site_generic(owner_element, id) {}

// The control may still hold the bridge's interfaces, so it goes before the bridge does.
ocx_elt_site_trend::~ocx_elt_site_trend() { ocx_elt_site_trend::release_control(); }

void ocx_elt_site_trend::release_control() {
  archive.reset();
  ocx_elt_site_generic::release_control();
}

bool ocx_elt_site_trend::print(std::ostream& stream, int image_type) {
  bool printed = trend_wants_svg(*owner) ? print_svg(stream) : ocx_elt_site_generic::print(stream, image_type);
  archive.reset();
  return printed;
}

std::string ocx_elt_site_trend::image_extension(int image_type) {
  if (printer && trend_wants_svg(*owner))
    return ".svg";
  return ocx_elt_site_generic::image_extension(image_type);
}

// The same set-up as for a bitmap, then the control writes its picture as SVG.
bool ocx_elt_site_trend::print_svg(std::ostream& stream) {
  rc_ptr<trend::ITrendSvg> svg;
  if (!control || !printer || !com::query(control.get(), trend::IID_trend_svg, svg))
    return false;
  printer->set_size(owner->width, owner->height);
  if (!prepare_print() || svg->write_svg(owner->width, owner->height, stream) != com::S_OK)
    return false;
  stream.flush();
  return !stream.fail();
}

bool ocx_elt_site_trend::after_create() { return true; }

namespace {

// The curves and legend entries of one picture, and how many curves could not be drawn.
struct trend_feed {
  std::vector<trend_curve> curves;
  std::vector<trend::trend_legend_entry> legend;
  int failed = 0;
};

// The legend entry of curve i before its channel is known: the pen its properties give.
trend::trend_legend_entry pen_entry(const curve_props& props, std::size_t i) {
  trend::trend_legend_entry entry;
  if (const anyval* colour = value_for(props.colour, i))
    colour_of(*colour, entry.color);
  entry.line_type = static_cast<std::int16_t>(int_for(props.line_type, i, 0));
  return entry;
}

// Tells the run's diagnostics why a curve draws nothing: "trend curve 2 (T_SUPPLY): no data:
// no archive", the name left out when there is none; the message names the CHANNEL property.
void report_fault(html_dyn_elt_ocx& element, std::size_t i, const trend::trend_legend_entry& entry,
                  const std::string& name) {
  const char* reason = entry.fault == trend::trend_fault::no_archive ? "no archive" : "unknown channel";
  const std::string which = name.empty() ? std::string() : " (" + name + ")";
  const std::string message = "trend curve " + std::to_string(i + 1) + which + ": no data: " + reason + "\n";
  element.processor->diagnostics().report({message, element.find_prop("CHANNEL"), -1, element.source_offset});
}

// Fills curve i from one CHANNEL element: a curve record when it is a channel reference whose
// node gives an archive, else only a legend entry with the fault.
void feed_curve(html_dyn_elt_ocx& element, multi_kov_archive& bridge, kov_runtime_data_source& source,
                const curve_props& props, std::size_t i, const trend_channel_element& channel, int mode,
                trend_feed& feed) {
  trend::trend_legend_entry entry = pen_entry(props, i);
  entry.fault = trend::trend_fault::unknown_channel;
  auto* ref = channel.ok ? dynamic_cast<const kov_chan_ref*>(channel.value.get()) : nullptr;
  std::string text = channel.text;
  if (!ref && channel.ok)
    channel.value.to_text(text);
  if (!channel.ok)
    text.clear();
  if (ref) {
    name_trend_channel(source, ref->ident, mode, entry);
    entry.fault = trend::trend_fault::no_archive;
    INvRegArchive* node_archive = source.node_archive(ref->ident.node);
    rc_ptr<IvxChBrowser> browser;
    rc_ptr<IvxKOV> monitor;
    com::query(source.node_object(ref->ident.node), com::IID_IvxChBrowser, browser);
    com::query(browser.get(), com::IID_IvxKOV, monitor);
    const int number =
        node_archive ? bridge.add_channel(node_archive, browser.get(), monitor.get(), ref->ident.channel) : -1;
    if (number >= 0) {
      entry.fault = trend::trend_fault::none;
      entry.curve = static_cast<std::int32_t>(feed.curves.size());
      feed.curves.push_back(make_curve(props, i, number, ref->ident));
    }
    if (entry.name.empty())
      text = "channel " + std::to_string(ref->ident.channel);
  }
  if (entry.name.empty())
    entry.name = com::ansi_to_wide(text);
  if (entry.fault != trend::trend_fault::none) {
    ++feed.failed;
    report_fault(element, i, entry, com::wide_to_ansi(entry.name));
  }
  feed.legend.push_back(std::move(entry));
}

// One curve record per CHANNEL element that is a channel reference the runtime source can give
// an archive for; every element gets a legend entry, with its fault when it has no curve.
trend_feed build_curves(html_dyn_elt_ocx& element, multi_kov_archive& bridge) {
  trend_feed feed;
  auto* source = dynamic_cast<kov_runtime_data_source*>(element.processor->data_source());
  bool present = false;
  const std::vector<trend_channel_element> channels = trend_channel_elements(element, present);
  if (!source)
    return feed;
  const curve_props props = read_curve_props(element);
  const int mode = trend_legend_mode(element);
  for (std::size_t i = 0; i < channels.size(); ++i)
    feed_curve(element, bridge, *source, props, i, channels[i], mode, feed);
  if (mode == 0)
    feed.legend.clear();
  return feed;
}

// Hands the legend to a control that takes one.
void send_legend(com::IOleObject* control, const std::vector<trend::trend_legend_entry>& legend) {
  rc_ptr<trend::ITrendLegend> labels;
  if (!com::query(control, trend::IID_trend_legend, labels))
    return;
  labels->set_legend(static_cast<std::int32_t>(legend.size()), legend.empty() ? nullptr : legend.data());
}

}  // namespace

// Attaches the bridge to the control, applies the settings and the curves, and moves the
// control's window to its start; false when the control lacks either trend interface.
bool ocx_elt_site_trend::prepare_print() {
  archive.reset();
  rc_ptr<ITrendDisplay> display;
  rc_ptr<ITrendData> data;
  if (!owner->processor || !com::query(control.get(), trend::IID_trend_display, display) ||
      !com::query(control.get(), trend::IID_trend_data, data))
    return false;
  display->attach_browser(archive.browser_interface());
  data->attach_browser(archive.browser_interface());
  data->attach_archive(archive.archive_interface());
  data->set_mode(1);
  trend_settings settings{};
  display->get_settings(&settings);
  fill_settings(*owner, settings);
  display->set_settings(&settings);
  trend_feed feed = build_curves(*owner, archive);
  display->set_curves(static_cast<std::int32_t>(feed.curves.size()), feed.curves.empty() ? nullptr : feed.curves.data());
  send_legend(control.get(), feed.legend);
  double start = window_start(*owner, settings.dt);
  double seconds = std::floor(start);
  auto millis = static_cast<std::uint16_t>(std::fmin(999.0, std::floor((start - seconds) * 1000)));
  data->set_time(static_cast<std::uint32_t>(seconds), millis);
  return feed.failed == 0 || !feed.curves.empty();
}

}  // namespace quillet
