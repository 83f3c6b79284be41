// The routes of the parameter input dialog: the conversion of what was typed and the text its
// field opens with.
#include "editor/codepage_text.h"
#include "editor/parameter_input.h"
#include "editor/routes.h"

namespace quillet::editor {

using nlohmann::json;

void handle_parameter_input(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  const int mode = body.value("mode", 0);
  if (!body.contains("text") || !body["text"].is_string() || mode < 1 || mode > 3)
    return send_error(res, 400, "A parameter input needs the text and a mode of 1, 2 or 3.");
  std::optional<std::string> text = utf8_to_ansi(body["text"].get<std::string>(), false);
  std::optional<std::string> value = text ? parameter_input_value(*text, static_cast<parameter_mode>(mode)) : std::nullopt;
  if (!value)
    return send_json(res, {{"ok", false}});
  send_json(res, {{"ok", true}, {"value", ansi_to_utf8(*value)}});
}

void handle_parameter_text(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  if (!body.contains("expr") || !body["expr"].is_string())
    return send_error(res, 400, "A parameter text needs the expression.");
  std::optional<std::string> expr = utf8_to_ansi(body["expr"].get<std::string>(), false);
  send_json(res, {{"text", expr ? ansi_to_utf8(parameter_input_text(*expr)) : body["expr"].get<std::string>()}});
}

}  // namespace quillet::editor
