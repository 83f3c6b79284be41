// The new, open and save routes.
#include "editor/document.h"
#include "editor/document_json.h"
#include "editor/routes.h"

namespace quillet::editor {

using nlohmann::json;

void handle_new(editor_context& ctx, const httplib::Request&, httplib::Response& res) {
  std::lock_guard lock(ctx.mutex);
  loaded_template empty = new_template();
  ctx.file.clear();
  ctx.fragment = false;
  ctx.start_document = nullptr;
  send_json(res, {{"path", nullptr}, {"fragment", false}, {"html", empty.html}, {"state", state_json(empty.state)}});
}

void handle_open(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  if (!body.contains("path") || !body["path"].is_string())
    return send_error(res, 400, "An open needs the path.", {{"title", "Error opening document"}});
  std::lock_guard lock(ctx.mutex);
  json document;
  std::string error;
  if (!open_document(ctx, body["path"].get<std::string>(), document, error))
    return send_error(res, 500, error, {{"title", "Error opening document"}});
  send_json(res, document);
}

void handle_save(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  std::lock_guard lock(ctx.mutex);
  std::string saved, error;
  int status = 500;
  if (!save_document(ctx, body, saved, status, error))
    return send_error(res, status, error, {{"title", "Error saving document"}});
  send_json(res, {{"path", saved}});
}

}  // namespace quillet::editor
