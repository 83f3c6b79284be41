// The element property catalogue for the page: its rows, the rows that apply to an element
// with their values and expressions, and writing one row's value or expression.
#include "editor/codepage_text.h"
#include "editor/property_catalogue.h"
#include "editor/routes.h"
#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

std::string upper(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string text_of(const json& j, const char* key) {
  return j.contains(key) && j[key].is_string() ? j[key].get<std::string>() : "";
}

// The element from the page's JSON; false with `error` when it is not one.
bool element_from_json(const json& j, catalogue_element& e, std::string& error) {
  error = "An element needs its tag.";
  if (!j.is_object() || text_of(j, "tag").empty())
    return false;
  e.tag = upper(text_of(j, "tag"));
  const json attributes = j.value("attributes", json::object());
  const json definition = j.value("definition", json::array());
  error = "An element's attributes are an object and its definition a list.";
  if (!attributes.is_object() || !definition.is_array())
    return false;
  for (const auto& [name, value] : attributes.items())
    if (value.is_string() && upper(name) != "STYLE" && upper(name) != "VXDYNELT")
      e.attributes.emplace_back(upper(name), value.get<std::string>());
  e.style = parse_style_text(text_of(j, "style"));
  e.inner_html = text_of(j, "html");
  for (const json& p : definition)
    if (p.is_object())
      e.definition.emplace_back(text_of(p, "name"), text_of(p, "expr"));
  return true;
}

json element_json(const catalogue_element& e) {
  json attributes = json::object();
  for (const auto& [name, value] : e.attributes)
    attributes[name] = value;
  json definition = json::array();
  for (const auto& [name, expr] : e.definition)
    definition.push_back({{"name", name}, {"expr", expr}});
  return {{"tag", e.tag}, {"attributes", attributes}, {"style", style_text(e.style)}, {"html", e.inner_html},
          {"definition", definition}};
}

// Whether the text compiles as an element property does.
bool compiles(const std::string& utf8) {
  std::optional<std::string> text = utf8_to_ansi(utf8, false);
  if (!text)
    return false;
  rc_ptr<txl_user_function> fn = make_rc<txl_user_function>("VALUE", *text);
  txl_compiler compiler;
  return compiler.compile(*text, fn.get()) == 0;
}

// Reads a request's body and the element it describes; false after answering 400.
bool read_element_request(const httplib::Request& req, httplib::Response& res, json& body,
                          catalogue_element& e) {
  if (!read_json(req, res, body))
    return false;
  std::string error;
  if (element_from_json(body.value("element", json()), e, error))
    return true;
  send_error(res, 400, error);
  return false;
}

}  // namespace

void handle_catalogue(editor_context&, const httplib::Request&, httplib::Response& res) {
  json rows = json::array();
  for (const catalogue_row& row : property_catalogue())
    rows.push_back({{"key", row.key}, {"name", row.name}, {"flags", row.flags}, {"level", row.level},
                    {"text", row.display_text()}, {"dynamic", row_dynamic_name(row)}});
  send_json(res, rows);
}

void handle_element_rows(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  catalogue_element e;
  if (!read_element_request(req, res, body, e))
    return;
  json rows = json::array();
  for (const catalogue_row& row : property_catalogue()) {
    if (!row_applies(row, e))
      continue;
    std::string value, expr;
    bool has_value = row_get_value(row, e, value);
    bool has_expr = row_get_expression(row, e, expr);
    rows.push_back({{"key", row.key}, {"value", has_value ? json(value) : json()},
                    {"expression", has_expr ? json(expr) : json()}});
  }
  send_json(res, {{"rows", rows}});
}

// Writes one row: "value" for the static value, "expression" for the dynamic one. Refusals
// carry the texts the property value editor shows.
void handle_element_set(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  catalogue_element e;
  if (!read_element_request(req, res, body, e))
    return;
  const catalogue_row* row = find_catalogue_row(text_of(body, "key"));
  if (!row || row->kind == row_kind::group)
    return send_error(res, 400, "Unknown property '" + text_of(body, "key") + "'.");
  if (body.contains("expression")) {
    std::string expr = text_of(body, "expression");
    if ((!expr.empty() && !compiles(expr)) || !row_set_expression(*row, e, expr))
      return send_error(res, 400, "Invalid expression");
  }
  if (body.contains("value") && !row_set_value(*row, e, text_of(body, "value")))
    return send_error(res, 400, "Invalid value");
  send_json(res, {{"element", element_json(e)}});
}

}  // namespace quillet::editor
