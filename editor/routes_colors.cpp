// Colours for the property pages: the colour names reports know, and a typed colour read the
// way a report reads it, so that the page's sample and the report agree.
#include "doc/style_values.h"
#include "editor/routes.h"

namespace quillet::editor {

using nlohmann::json;

void handle_colors(editor_context&, const httplib::Request&, httplib::Response& res) {
  json names = json::array();
  for (const color_name_row& row : color_names())
    names.push_back({{"name", row.name}, {"rgb", row.rgb}});
  send_json(res, names);
}

// {"text"} -> {"ok": true, "color": "#RRGGBB"} when the text is a colour, else {"ok": false}.
void handle_color(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  const json text = body.value("text", json());
  colorref c = 0;
  if (!text.is_string() || !parse_color(text.get<std::string>(), &c))
    return send_json(res, {{"ok", false}});
  send_json(res, {{"ok", true}, {"color", format_color(c)}});
}

}  // namespace quillet::editor
