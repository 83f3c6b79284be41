// The table of the expression builders and the field readers they share.
#include "editor/builders/builder_parts.h"
#include "editor/builders/call_shape.h"

namespace quillet::editor {

using nlohmann::json;

const std::vector<expression_builder>& expression_builders() {
  static const std::vector<expression_builder> table = {
      {"channel_value", recognize_channel_value, emit_channel_value},
      {"statistics", recognize_statistics, emit_statistics},
      {"time", recognize_time, emit_time},
      {"value_format", recognize_value_format, emit_value_format},
      {"array", recognize_array, emit_array},
      {"string_array", recognize_string_array, emit_string_array},
      {"channel_selection", recognize_channel_selection, emit_channel_selection},
      {"channel", recognize_channel, emit_channel},
      {"object", recognize_object, emit_object},
      {"literal", recognize_literal, emit_literal},
  };
  return table;
}

const expression_builder* find_builder(std::string_view name) {
  for (const expression_builder& b : expression_builders())
    if (b.name == name)
      return &b;
  return nullptr;
}

std::string text_field(const json& fields, const char* key, std::string_view fallback) {
  if (fields.is_object() && fields.contains(key) && fields[key].is_string())
    return fields[key].get<std::string>();
  return std::string(fallback);
}

bool flag_field(const json& fields, const char* key) {
  return fields.is_object() && fields.contains(key) && fields[key].is_boolean() && fields[key].get<bool>();
}

int int_field(const json& fields, const char* key, int fallback) {
  if (fields.is_object() && fields.contains(key) && fields[key].is_number_integer())
    return static_cast<int>(std::clamp<long long>(fields[key].get<long long>(), -1000000, 1000000));
  return fallback;
}

bool compiles_nonempty(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") != std::string_view::npos && compiles(text);
}

}  // namespace quillet::editor
