// Embedded controls in a report: the OBJECT element drawn into an image file whose IMG tag
// takes its place, or one error marker when the control cannot be made, the file cannot be
// created or the picture fails.
#include <cmath>
#include <cstdio>
#include <limits>

#include "doc/html_printer.h"
#include "doc/style_values.h"
#include "platform/com/guid.h"
#include "report/htdoc_processor.h"
#include "report/html_dyn_elt.h"
#include "report/ocx_elt_site.h"

namespace quillet {

namespace {

constexpr std::string_view class_id_prefix = "CLSID:";

// The attributes of the object that mean nothing on an image; they are dropped from the tag.
constexpr const char* object_only_attributes[] = {"DECLARE",  "CLASSID", "CODEBASE", "DATA", "TYPE",
                                                   "CODETYPE", "ARCHIVE", "STANDBY",  "NAME", "TABINDEX"};

// The pixel count of a CSS length text, truncated; a number without a unit counts as pixels.
// False for text without a number, a unit that has no pixel size (em, ex, %), or a result
// that is not a number. A conversion that lands a hair below a whole number (12pt is 16px,
// computed as 15.999...) counts as that number. Results beyond the 32-bit range are pinned
// to it: such sizes fail later as sizes.
bool length_in_pixels(const std::string& text, std::int32_t& out) {
  double value = 0;
  int unit = unit_none;
  if (!parse_length(text, &value, &unit, nullptr))
    return false;
  if (unit == unit_none)
    unit = unit_px;
  double pixels = 0;
  if (!convert_length(value, unit, unit_px, &pixels) || std::isnan(pixels))
    return false;
  constexpr double low = std::numeric_limits<std::int32_t>::min();
  constexpr double high = std::numeric_limits<std::int32_t>::max();
  pixels += pixels >= 0 ? 1e-9 : -1e-9;
  out = static_cast<std::int32_t>(std::trunc(std::fmax(low, std::fmin(high, pixels))));
  return true;
}

// The braced identifier text after the prefix: braces are added when the text has none.
std::string braced_identifier(std::string_view rest) {
  if (!rest.empty() && rest.front() == '{')
    return std::string(rest);
  std::string text = "{";
  text.append(rest);
  text += '}';
  return text;
}

// Attribute nodes made for one start tag, chained in the order added and released when the
// tag has been written.
class override_list {
public:
  ~override_list() {
    for (html_attr* a : made_) {
      a->next = nullptr;
      a->release();
    }
  }
  void remove(std::string_view name) { add(new html_attr(name, std::nullopt)); }
  void set(std::string_view name, std::string_view value) { add(new html_attr(name, value)); }
  html_element* head() const { return made_.empty() ? nullptr : made_.front(); }

private:
  void add(html_attr* a) {
    if (!made_.empty())
      made_.back()->next = a;
    made_.push_back(a);
  }
  std::vector<html_attr*> made_;
};

}  // namespace

html_dyn_elt_ocx::html_dyn_elt_ocx(const html_elt_def* d) : html_dyn_elt_generic(d) {}

html_dyn_elt_ocx::~html_dyn_elt_ocx() { release_site(); }

void html_dyn_elt_ocx::clear() {
  release_site();
  html_dyn_elt_generic::clear();
}

void html_dyn_elt_ocx::release_site() {
  if (site)
    site->release_control();
  site.reset();
  class_id.clear();
}

// The CLASSID comes from ATTR.CLASSID or the attribute and must read "CLSID:" (upper case)
// and an identifier with or without braces. A site made for the same text is kept; a new
// text replaces the site, and a failed creation leaves none, so the next run tries again.
bool html_dyn_elt_ocx::ensure_site() {
  anyval value;
  bool found_dynamic = false;
  std::string text;
  if (!get_attr_value("CLASSID", value, found_dynamic) || !value.to_text(text))
    return false;
  if (site && text == class_id)
    return true;
  if (std::string_view(text).substr(0, class_id_prefix.size()) != class_id_prefix)
    return false;
  com::CLSID clsid;
  if (!com::CLSIDFromString(braced_identifier(std::string_view(text).substr(class_id_prefix.size())), clsid))
    return false;
  release_site();
  site = ocx_make_site(*this, clsid);
  if (!site->create_control()) {
    release_site();
    return false;
  }
  class_id = text;
  return true;
}

// Every run starts from 800 x 600 at 8 bits; a readable WIDTH or HEIGHT (style item or
// attribute) replaces its default, and BPP may only choose 4 bits.
void html_dyn_elt_ocx::read_size() {
  width = 800;
  height = 600;
  bits_per_pixel = 8;
  anyval value;
  bool found_dynamic = false;
  std::string text;
  if (get_style_value("WIDTH", "WIDTH", value, found_dynamic) && value.to_text(text))
    length_in_pixels(text, width);
  if (get_style_value("HEIGHT", "HEIGHT", value, found_dynamic) && value.to_text(text))
    length_in_pixels(text, height);
  if (int_of(find_prop("BPP"), 8) == 4)
    bits_per_pixel = 4;
}

void html_dyn_elt_ocx::print_image_tag(html_obj_printer& p, const std::string& name) {
  override_list overrides;
  for (const char* attribute : object_only_attributes)
    overrides.remove(attribute);
  char number[16];
  std::snprintf(number, sizeof number, "%d", width);
  overrides.set("WIDTH", number);
  std::snprintf(number, sizeof number, "%d", height);
  overrides.set("HEIGHT", number);
  overrides.set("SRC", name);
  overrides.set("ALT", "dynamic image");
  print_start_tag(p, "IMG", attrs, overrides.head());
}

// The picture file is named by the processor; one that could not be printed is not kept.
// Neither the content (PARAM elements) nor an end tag is written.
void html_dyn_elt_ocx::print(html_obj_printer& p) {
  if (!processor) {
    html_dyn_elt_generic::print(p);
    return;
  }
  if (!ensure_site()) {
    p.write("{#ERROR:BAD_CLASSID}");
    return;
  }
  read_size();
  std::int32_t image_type = int_of(find_prop("IMAGE_TYPE"), 0);
  std::string name = processor->next_output_name(site->image_extension(image_type));
  files::output_file* file = processor->open_output(name);
  if (!file) {
    p.write("{#ERROR:CREATE_FILE:" + name + "}");
    return;
  }
  bool printed = site->print(file->stream(), image_type);
  if (!processor->close_output(*file, printed)) {
    p.write("{#ERROR:PRINT_OBJECT}");
    return;
  }
  print_image_tag(p, name);
}

}  // namespace quillet
