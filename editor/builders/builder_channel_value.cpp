// The channel-value builder: the current or historical value of a channel, optionally
// formatted: FORMAT( "spec", GETVAL( c ) ) or READVAL( c, t ).
#include "editor/builders/builder_parts.h"
#include "editor/builders/call_shape.h"

namespace quillet::editor {

using nlohmann::json;

// The fields of a channel-value text: FORMAT around GETVAL or READVAL, each part optional.
json recognize_channel_value(std::string_view text, const json&) {
  json fields = {{"format", false}, {"spec", "%f"}, {"historical", false}, {"channel", ""}, {"time", "TIME()"}};
  std::string inner(text);
  if (auto format = match_call(text, "FORMAT", 2)) {
    if (auto spec = string_constant(format->args[0])) {
      fields["format"] = true;
      fields["spec"] = *spec;
      inner = format->args[1];
    }
  }
  if (auto get = match_call(inner, "GETVAL", 1)) {
    fields["channel"] = get->args[0];
    return fields;
  }
  if (auto read = match_call(inner, "READVAL", 2)) {
    fields["historical"] = true;
    fields["channel"] = read->args[0];
    fields["time"] = read->args[1];
  }
  return fields;
}

// GETVAL or READVAL of the channel field, inside FORMAT when the format is on; refused while
// the channel (or, for a historical value, the time) is no valid expression.
bool emit_channel_value(const json& fields, std::string& text, builder_refusal&) {
  bool format = flag_field(fields, "format");
  bool historical = flag_field(fields, "historical");
  std::string channel = text_field(fields, "channel");
  std::string time = text_field(fields, "time", "TIME()");
  if (!compiles_nonempty(channel) || (historical && !compiles_nonempty(time)))
    return false;
  text.clear();
  if (format)
    text += "FORMAT( " + string_literal(text_field(fields, "spec", "%f")) + ", ";
  if (historical)
    text += "READVAL( " + channel + ", " + time + " )";
  else
    text += "GETVAL( " + channel + " )";
  if (format)
    text += " )";
  return true;
}

}  // namespace quillet::editor
