// The expression builders' routes: recognising a builder's shape in a text, and writing the
// text of a builder's fields.
#include "editor/builders/builders.h"
#include "editor/routes.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

// The builder a request names; null after answering 400.
const expression_builder* requested_builder(const json& body, httplib::Response& res) {
  const expression_builder* builder = nullptr;
  if (body.contains("builder") && body["builder"].is_string())
    builder = find_builder(body["builder"].get<std::string>());
  if (!builder)
    send_error(res, 400, "Unknown builder.");
  return builder;
}

}  // namespace

void handle_builder_recognize(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  const expression_builder* builder = requested_builder(body, res);
  if (!builder)
    return;
  std::string text = body.contains("text") && body["text"].is_string() ? body["text"].get<std::string>() : "";
  json options = body.contains("options") ? body["options"] : json::object();
  send_json(res, {{"fields", builder->recognize(text, options)}});
}

// {"text": ...} for fields the builder can write; {"ok": false, "message", "row"} when it
// refuses, so that the dialog stays open.
void handle_builder_emit(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  const expression_builder* builder = requested_builder(body, res);
  if (!builder)
    return;
  json fields = body.contains("fields") ? body["fields"] : json::object();
  std::string text;
  builder_refusal refusal;
  if (!builder->emit(fields, text, refusal))
    return send_json(res, {{"ok", false}, {"message", refusal.message}, {"row", refusal.row}});
  send_json(res, {{"ok", true}, {"text", text}});
}

}  // namespace quillet::editor
