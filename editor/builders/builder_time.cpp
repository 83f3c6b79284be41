// The time builder: a moment (now, or a base-time expression), optionally rounded with
// RTIME or shifted with DTIME by a unit and an offset, optionally formatted with TIMESTR.
#include <array>

#include "editor/builders/builder_parts.h"
#include "editor/builders/call_shape.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

constexpr std::array<std::string_view, 7> time_units = {"SEC", "MIN", "HR", "DAY", "WK", "MON", "YR"};

bool is_time_unit(std::string_view name) {
  for (std::string_view u : time_units)
    if (u == name)
      return true;
  return false;
}

// The base-time expression of a moment: empty for the current time ("TIME()" or nothing),
// e for "TIME( e )", else the moment itself.
std::string base_time(const std::string& moment) {
  if (moment.empty() || match_call(moment, "TIME", 0))
    return {};
  if (auto time = match_call(moment, "TIME", 1))
    return time->args[0];
  return moment;
}

// Fills the rounding fields from RTIME( T, "unit", offset ) or DTIME alike and returns T;
// returns the text itself when it is neither.
std::string read_rounding(const std::string& text, json& fields) {
  for (const char* mode : {"RTIME", "DTIME"}) {
    auto call = match_call(text, mode, 3);
    if (!call)
      continue;
    auto unit = string_constant(call->args[1]);
    if (!unit)
      continue;
    fields["rounding"] = true;
    fields["mode"] = mode;
    fields["unit"] = is_time_unit(*unit) ? *unit : "";
    fields["offset"] = call->args[2];
    return call->args[0];
  }
  return text;
}

}  // namespace

// The fields of TIMESTR( "spec", RTIME( TIME( e ), "unit", offset ) ), every layer optional.
// An empty text opened for a formatted time starts with the format "%c".
json recognize_time(std::string_view text, const json& options) {
  json fields = {{"format", false}, {"spec", "%c"}, {"rounding", false}, {"mode", "RTIME"},
                 {"unit", ""}, {"offset", "0"}, {"base", ""}};
  std::string inner(text);
  if (inner.find_first_not_of(" \t\r\n") == std::string::npos) {
    fields["format"] = flag_field(options, "formatted");
    return fields;
  }
  if (auto format = match_call(inner, "TIMESTR", 2)) {
    if (auto spec = string_constant(format->args[0])) {
      fields["format"] = true;
      fields["spec"] = *spec;
      inner = format->args[1];
    }
  }
  fields["base"] = base_time(read_rounding(inner, fields));
  return fields;
}

// TIMESTR( "spec", RTIME( TIME( e ), "unit", offset ) ) with the layers that are on; refused
// without a unit while rounding, or with an invalid base time or offset.
bool emit_time(const json& fields, std::string& text, builder_refusal&) {
  bool format = flag_field(fields, "format");
  bool rounding = flag_field(fields, "rounding");
  std::string mode = text_field(fields, "mode", "RTIME");
  std::string unit = text_field(fields, "unit");
  std::string offset = text_field(fields, "offset", "0");
  std::string base = text_field(fields, "base");
  if (rounding && (!is_time_unit(unit) || (mode != "RTIME" && mode != "DTIME") || !compiles_nonempty(offset)))
    return false;
  if (!base.empty() && !compiles(base))
    return false;
  text.clear();
  if (format)
    text += "TIMESTR( " + string_literal(text_field(fields, "spec")) + ", ";
  if (rounding)
    text += mode + "( ";
  text += base.empty() ? std::string("TIME()") : "TIME( " + base + " )";
  if (rounding)
    text += ", \"" + unit + "\", " + offset + " )";
  if (format)
    text += " )";
  return true;
}

}  // namespace quillet::editor
