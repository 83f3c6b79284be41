// The document as the page receives and returns it: the edited HTML and the directive state
// (settings, title, fragment header, variables, element definitions) as JSON in UTF-8, while
// the files hold bytes of the ANSI code page.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "doc/editor_conventions.h"

namespace quillet::editor {

// The state as JSON, its texts converted to UTF-8.
nlohmann::json state_json(const template_markup_state& state);

// The state from the page's JSON, its texts converted to the code page. Nothing, with
// `error`, when a field is missing or of the wrong kind or a text holds a character the code
// page cannot hold.
std::optional<template_markup_state> state_from_json(const nlohmann::json& json, std::string& error);

// A property list from the page's JSON ([{"name", "expr"}], UTF-8), appended to `out`. False,
// with `error`, when it is no such list or a text holds a character the code page cannot hold.
bool take_props(const nlohmann::json& list, txl_prop_list& out, std::string& error);

// A template read from its bytes: the HTML after the load conventions (UTF-8) and the state.
struct loaded_template {
  std::string html;
  template_markup_state state;
};

// Reads a template's bytes with the load conventions; nothing when they are not an HTML
// document (its first element is not <HTML>).
std::optional<loaded_template> load_template_text(const std::string& bytes);

// The bytes the editor saves for the page's HTML (UTF-8) and state: parsed, the save
// conventions applied with `language`, written with printer flags 6. Nothing, with `error`,
// when the HTML is not an HTML document.
std::optional<std::string> save_template_text(const std::string& html, const template_markup_state& state,
                                              const std::string& language, std::string& error);

// The empty document of File New.
loaded_template new_template();

}  // namespace quillet::editor
