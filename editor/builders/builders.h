// The expression builders: each recognises its own shape of expression in a text and fills
// its fields from the parts, and writes the text of a new expression of that shape from its
// fields. Fields travel as JSON objects, as the page edits them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillet::editor {

// Why a builder cannot write its text: the message the page shows (empty when the dialog
// just stays open), and the row a list builder selects (-1 none).
struct builder_refusal {
  std::string message;
  int row = -1;
};

struct expression_builder {
  std::string_view name;
  // The fields for a text; text of another shape gives the defaults. `options` carries what
  // the caller opened the builder for (e.g. {"formatted": true}).
  nlohmann::json (*recognize)(std::string_view text, const nlohmann::json& options);
  // The new text, or false with the refusal filled.
  bool (*emit)(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
};

// The builder of that name, or null.
const expression_builder* find_builder(std::string_view name);

// Every builder, in the order of the table.
const std::vector<expression_builder>& expression_builders();

// A field of a JSON object as text / flag / integer, with a default when missing or mistyped.
std::string text_field(const nlohmann::json& fields, const char* key, std::string_view fallback = {});
bool flag_field(const nlohmann::json& fields, const char* key);
int int_field(const nlohmann::json& fields, const char* key, int fallback = 0);

}  // namespace quillet::editor
