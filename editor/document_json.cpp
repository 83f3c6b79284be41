// Converting the edited template between the files' code page and the page's JSON.
#include "editor/document_json.h"

#include <sstream>

#include "editor/codepage_text.h"
#include "platform/crt/char_class.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

json props_json(const txl_prop_list& props) {
  json out = json::array();
  for (const auto& p : props)
    out.push_back({{"name", ansi_to_utf8(p->name)}, {"expr", ansi_to_utf8(p->text)}});
  return out;
}

json fragment_json(const htdoc_fragment_header& h) {
  if (h.clsid.empty())
    return nullptr;
  json params = json::array();
  for (const auto& p : h.params)
    params.push_back({{"name", ansi_to_utf8(p->fn->name)}, {"value", ansi_to_utf8(p->fn->text)},
                      {"desc", ansi_to_utf8(p->desc)}, {"type", ansi_to_utf8(p->type)},
                      {"prompt", ansi_to_utf8(p->prompt)}});
  return {{"clsid", ansi_to_utf8(h.clsid)}, {"name", ansi_to_utf8(h.name)}, {"desc", ansi_to_utf8(h.desc)},
          {"params", params}};
}

// Reads the string `key` of `object` in the code page; false with `error` naming the key.
bool take_text(const json& object, const char* key, std::string& out, std::string& error) {
  auto it = object.find(key);
  if (it == object.end() || !it->is_string()) {
    error = std::string("missing or wrong field: ") + key;
    return false;
  }
  std::string bad;
  std::optional<std::string> text = utf8_to_ansi(it->get<std::string>(), false, &bad);
  if (!text) {
    error = "the character '" + bad + "' in " + key + " cannot be written in the code page " + codepage_name();
    return false;
  }
  out = std::move(*text);
  return true;
}


bool take_fragment(const json& f, htdoc_fragment_header& out, std::string& error) {
  if (f.is_null())
    return true;
  if (!f.is_object() || !take_text(f, "clsid", out.clsid, error) || !take_text(f, "name", out.name, error) ||
      !take_text(f, "desc", out.desc, error))
    return false;
  if (!f.contains("params") || !f["params"].is_array()) {
    error = "missing or wrong field: params";
    return false;
  }
  for (const json& p : f["params"]) {
    auto w = make_rc<htdoc_wparm>();
    if (!p.is_object() || !take_text(p, "name", w->fn->name, error) || !take_text(p, "value", w->fn->text, error) ||
        !take_text(p, "desc", w->desc, error) || !take_text(p, "type", w->type, error) ||
        !take_text(p, "prompt", w->prompt, error))
      return false;
    out.params.push_back(std::move(w));
  }
  return true;
}

}  // namespace

bool take_props(const json& list, txl_prop_list& out, std::string& error) {
  if (!list.is_array()) {
    error = "a property list must be an array";
    return false;
  }
  for (const json& item : list) {
    std::string name, expr;
    if (!item.is_object() || !take_text(item, "name", name, error) || !take_text(item, "expr", expr, error))
      return false;
    out.push_back(make_rc<txl_user_function>(name, expr));
  }
  return true;
}

json state_json(const template_markup_state& state) {
  json definitions = json::array();
  for (const auto& d : state.definitions)
    definitions.push_back(props_json(d));
  return {{"project", ansi_to_utf8(state.project)}, {"refresh", state.refresh},
          {"title", ansi_to_utf8(state.title)},     {"fragment", fragment_json(state.fragment)},
          {"variables", props_json(state.variables)}, {"definitions", definitions}};
}

std::optional<template_markup_state> state_from_json(const json& j, std::string& error) {
  template_markup_state state;
  if (!j.is_object() || !take_text(j, "project", state.project, error) || !take_text(j, "title", state.title, error))
    return std::nullopt;
  if (!j.contains("refresh") || !j["refresh"].is_number_integer()) {
    error = "missing or wrong field: refresh";
    return std::nullopt;
  }
  state.refresh = j["refresh"].get<int>();
  if (!take_fragment(j.value("fragment", json()), state.fragment, error) ||
      !take_props(j.value("variables", json::array()), state.variables, error))
    return std::nullopt;
  const json defs = j.value("definitions", json::array());
  if (!defs.is_array()) {
    error = "missing or wrong field: definitions";
    return std::nullopt;
  }
  for (const json& d : defs) {
    state.definitions.emplace_back();
    if (!take_props(d, state.definitions.back(), error))
      return std::nullopt;
  }
  return state;
}

std::optional<loaded_template> load_template_text(const std::string& bytes) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::istringstream in(bytes);
  if (!doc->read(in))
    return std::nullopt;
  loaded_template out;
  apply_load_conventions(*doc, out.state);
  std::ostringstream html;
  doc->write(html, 0);
  doc->clear();
  out.html = ansi_to_utf8(html.str());
  return out;
}

std::optional<std::string> save_template_text(const std::string& html, const template_markup_state& state,
                                              const std::string& language, std::string& error) {
  std::optional<std::string> bytes = utf8_to_ansi(html, true);
  if (!bytes) {
    error = "the HTML text is not valid UTF-8";
    return std::nullopt;
  }
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::istringstream in(*bytes);
  if (!doc->read(in)) {
    error = "the edited text is not an HTML document: its first element is not <HTML>";
    return std::nullopt;
  }
  // The Russian Content-Type META names windows-1251, so it goes only into files written in it.
  bool meta_true = crt::current_codepage() == crt::codepage::cp1251;
  std::ostringstream out;
  save_template(*doc, state, meta_true ? language : std::string(), out);
  doc->clear();
  return out.str();
}

loaded_template new_template() {
  auto loaded = load_template_text("<HTML>\n<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n</HTML>\n");
  return loaded ? std::move(*loaded) : loaded_template{};
}

}  // namespace quillet::editor
