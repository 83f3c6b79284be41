// The builders over the project's channels: the channel list SELCHAN( OBJECT( node, object ),
// cond ), a channel reference CHAN( ... ) (optionally inside NAME), and an object
// OBJECT( node, object ). Node, object, channel and attribute are written as constants.
#include "editor/builders/builder_parts.h"
#include "editor/builders/call_shape.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

// A constant argument as the page holds it: a string, an integer, or null for anything else.
json constant_field(std::string_view text) {
  if (auto s = string_constant(text))
    return *s;
  if (auto i = int_constant(text))
    return *i;
  return nullptr;
}

// A node, object, channel or attribute field written as a constant: a string as a string
// literal, an integer as itself; false for anything else or an empty name.
bool write_constant(const json& fields, const char* key, std::string& out) {
  if (!fields.contains(key))
    return false;
  const json& v = fields[key];
  if (v.is_number_integer()) {
    out += std::to_string(v.get<long long>());
    return true;
  }
  if (!v.is_string() || v.get<std::string>().empty())
    return false;
  out += string_literal(v.get<std::string>());
  return true;
}

// Node and object of SELCHAN's two forms; false when the call has neither form.
bool read_selection(std::string_view text, json& fields) {
  if (auto call = match_call(text, "SELCHAN", 2)) {
    auto object = match_call(call->args[0], "OBJECT", 2);
    if (!object)
      return false;
    fields["node"] = constant_field(object->args[0]);
    fields["object"] = constant_field(object->args[1]);
    fields["condition"] = int_constant(call->args[1]).value_or(0);
    return true;
  }
  auto call = match_call(text, "SELCHAN", 3);
  if (!call)
    return false;
  fields["node"] = constant_field(call->args[0]);
  fields["object"] = constant_field(call->args[1]);
  fields["condition"] = int_constant(call->args[2]).value_or(0);
  return true;
}

}  // namespace

// Node, object and condition of a SELCHAN call; condition 0 for anything else, or for a
// condition outside 0 to 8.
json recognize_channel_selection(std::string_view text, const json&) {
  json fields = {{"node", ""}, {"object", ""}, {"condition", 0}};
  if (!read_selection(text, fields) || fields["node"].is_null() || fields["object"].is_null())
    return {{"node", ""}, {"object", ""}, {"condition", 0}};
  int condition = fields["condition"].get<int>();
  if (condition < 0 || condition > 8)
    fields["condition"] = 0;
  return fields;
}

bool emit_channel_selection(const json& fields, std::string& text, builder_refusal&) {
  int condition = int_field(fields, "condition", -1);
  if (condition < 0 || condition > 8)
    return false;
  text = "SELCHAN( OBJECT( ";
  if (!write_constant(fields, "node", text))
    return false;
  text += ", ";
  if (!write_constant(fields, "object", text))
    return false;
  text += " ), " + std::to_string(condition) + " )";
  return true;
}

// The names of CHAN( channel, attribute, node [, object] ), also inside NAME( ... ), which
// the channel browser is preset to; the attribute is 0 when the call gives none by name.
json recognize_channel(std::string_view text, const json&) {
  json fields = {{"channel", ""}, {"attribute", 0}, {"node", ""}, {"object", ""}, {"name", false}};
  std::string inner(text);
  if (auto name = match_call(text, "NAME", 1)) {
    fields["name"] = true;
    inner = name->args[0];
  }
  auto call = match_call(inner, "CHAN", 4);
  if (!call)
    call = match_call(inner, "CHAN", 3);
  if (!call)
    return fields;
  fields["channel"] = string_constant(call->args[0]).value_or("");
  fields["attribute"] = constant_field(call->args[1]);
  fields["node"] = string_constant(call->args[2]).value_or("");
  if (call->args.size() == 4)
    fields["object"] = string_constant(call->args[3]).value_or("");
  if (fields["attribute"].is_null() || fields["attribute"] == "")
    fields["attribute"] = 0;
  return fields;
}

// "CHAN( " channel, attribute, node [, object] ")", the object only when one is named and the
// attribute 0 when none is; wrapped in "NAME( ... )" when a name is asked for.
bool emit_channel(const json& fields, std::string& text, builder_refusal&) {
  std::string call = "CHAN( ";
  if (!write_constant(fields, "channel", call))
    return false;
  call += ", ";
  if (!write_constant(fields, "attribute", call))
    call += "0";
  call += ", ";
  if (!write_constant(fields, "node", call))
    return false;
  std::string object = text_field(fields, "object");
  if (!object.empty())
    call += ", " + string_literal(object);
  call += ")";
  text = flag_field(fields, "name") ? "NAME( " + call + " )" : call;
  return true;
}

json recognize_object(std::string_view text, const json&) {
  json fields = {{"node", ""}, {"object", ""}};
  auto call = match_call(text, "OBJECT", 2);
  if (!call)
    return fields;
  fields["node"] = string_constant(call->args[0]).value_or("");
  fields["object"] = string_constant(call->args[1]).value_or("");
  return fields;
}

bool emit_object(const json& fields, std::string& text, builder_refusal&) {
  text = "OBJECT( ";
  if (!write_constant(fields, "node", text))
    return false;
  text += ", ";
  if (!write_constant(fields, "object", text))
    return false;
  text += " )";
  return true;
}

// A typed constant (a colour or a font): the text a string literal holds.
json recognize_literal(std::string_view text, const json&) {
  return {{"text", string_constant(text).value_or("")}};
}

bool emit_literal(const json& fields, std::string& text, builder_refusal&) {
  text = string_literal(text_field(fields, "text"));
  return true;
}

}  // namespace quillet::editor
