// The recognise and emit functions of each builder, gathered into the table by
// builder_table.cpp, and the checks they share.
#pragma once

#include <string>
#include <string_view>

#include "editor/builders/builders.h"

namespace quillet::editor {

// True when a field's text is non-empty and compiles: what a builder's OK asks of a field.
bool compiles_nonempty(std::string_view text);

nlohmann::json recognize_channel_value(std::string_view text, const nlohmann::json& options);
bool emit_channel_value(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_statistics(std::string_view text, const nlohmann::json& options);
bool emit_statistics(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_time(std::string_view text, const nlohmann::json& options);
bool emit_time(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_value_format(std::string_view text, const nlohmann::json& options);
bool emit_value_format(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_array(std::string_view text, const nlohmann::json& options);
bool emit_array(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_string_array(std::string_view text, const nlohmann::json& options);
bool emit_string_array(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_channel_selection(std::string_view text, const nlohmann::json& options);
bool emit_channel_selection(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_channel(std::string_view text, const nlohmann::json& options);
bool emit_channel(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_object(std::string_view text, const nlohmann::json& options);
bool emit_object(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);
nlohmann::json recognize_literal(std::string_view text, const nlohmann::json& options);
bool emit_literal(const nlohmann::json& fields, std::string& text, builder_refusal& refusal);

}  // namespace quillet::editor
