// The array builders: LIST( a1, ..., an ) with one numbered row per item, the items either
// expressions (array) or plain text written as string literals (string array).
#include "editor/builders/builder_parts.h"
#include "editor/builders/call_shape.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

// The arguments of a LIST call of any length, as text; nothing when the text is no LIST call.
std::optional<std::vector<std::string>> list_items(std::string_view text) {
  auto call = match_call(text, "LIST", call_any_arity);
  if (!call)
    return std::nullopt;
  return call->args;
}

// The rows of the fields, each as text (a row that is no string counts as empty).
std::vector<std::string> rows_of(const json& fields) {
  std::vector<std::string> rows;
  if (!fields.contains("rows") || !fields["rows"].is_array())
    return rows;
  for (const json& row : fields["rows"])
    rows.push_back(row.is_string() ? row.get<std::string>() : std::string());
  return rows;
}

// "LIST(", each item on a line of its own indented by four blanks, ")"; "LIST()" when empty.
std::string write_list(const std::vector<std::string>& items) {
  std::string text = "LIST(";
  for (std::size_t i = 0; i < items.size(); ++i) {
    text += "\r\n    " + items[i];
    text += i + 1 < items.size() ? "," : "\r\n";
  }
  return text + ")";
}

}  // namespace

json recognize_array(std::string_view text, const json&) {
  return {{"rows", list_items(text).value_or(std::vector<std::string>{})}};
}

// The list of the rows; refused at the first row that is no valid expression, which the page
// selects while it shows the message.
bool emit_array(const json& fields, std::string& text, builder_refusal& refusal) {
  std::vector<std::string> rows = rows_of(fields);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (compiles_nonempty(rows[i]))
      continue;
    refusal = {"Some of the array items are incorrect", static_cast<int>(i)};
    return false;
  }
  text = write_list(rows);
  return true;
}

// The rows of a LIST of string constants; an item that is no string constant is an empty row.
json recognize_string_array(std::string_view text, const json&) {
  json rows = json::array();
  for (const std::string& item : list_items(text).value_or(std::vector<std::string>{}))
    rows.push_back(string_constant(item).value_or(""));
  return {{"rows", rows}};
}

bool emit_string_array(const json& fields, std::string& text, builder_refusal&) {
  std::vector<std::string> items;
  for (const std::string& row : rows_of(fields))
    items.push_back(string_literal(row));
  text = write_list(items);
  return true;
}

}  // namespace quillet::editor
