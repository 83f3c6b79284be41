// The preview routes and the fragments folder.
#include "editor/preview.h"
#include "editor/routes.h"

namespace quillet::editor {

using nlohmann::json;

void handle_preview(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  std::lock_guard lock(ctx.mutex);
  json out;
  std::string error;
  if (!run_preview(ctx, body, out, error))
    return send_error(res, 500, error, out);
  send_json(res, out);
}

void handle_preview_file(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  res.status = 404;
  res.set_content("Not found.\n", "text/plain; charset=utf-8");
}

void handle_fragments(editor_context&, const httplib::Request&, httplib::Response& res) {
  send_json(res, {{"dir", nullptr}, {"entries", json::array()}});
}

void handle_fragment(editor_context&, const httplib::Request&, httplib::Response& res) {
  send_error(res, 500, "not available yet", {{"title", "Error loading fragment file"}});
}

}  // namespace quillet::editor
