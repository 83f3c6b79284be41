// The file chooser's listings, the font list, the expression check and project selection.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/kov_project_holder.h"
#include "editor/codepage_text.h"
#include "editor/document.h"
#include "editor/file_listing.h"
#include "editor/font_families.h"
#include "editor/routes.h"
#include "editor/session.h"
#include "editor/web_assets.h"
#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet::editor {

using nlohmann::json;

void handle_files(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  std::string filter = req.has_param("filter") ? req.get_param_value("filter") : "html";
  if (!is_known_filter(filter))
    return send_error(res, 400, "Unknown filter '" + filter + "'.");
  std::string dir = req.has_param("dir") ? req.get_param_value("dir") : "";
  if (dir.empty()) {
    std::lock_guard lock(ctx.mutex);
    std::error_code ec;
    dir = ctx.file.empty() ? std::filesystem::current_path(ec).string()
                           : std::filesystem::path(ctx.file).parent_path().string();
  }
  std::string error;
  std::optional<json> listing = list_folder(absolute_path(dir), filter, error);
  if (!listing)
    return send_error(res, 404, error);
  send_json(res, *listing);
}

void handle_fonts(editor_context&, const httplib::Request&, httplib::Response& res) {
  static const std::vector<std::string> families = font_families();
  send_json(res, families);
}

// Compiles the text as an element property is compiled; the error offset is counted in the
// page's UTF-8 text.
void handle_check(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  if (!body.contains("expr") || !body["expr"].is_string())
    return send_error(res, 400, "A check needs the expression.");
  std::string bad;
  std::optional<std::string> text = utf8_to_ansi(body["expr"].get<std::string>(), false, &bad);
  if (!text)
    return send_json(res, {{"ok", false}, {"message", "the character '" + bad + "' cannot be written in the code page " +
                                                      codepage_name()}, {"offset", 0}});
  rc_ptr<txl_user_function> fn = make_rc<txl_user_function>("VALUE", *text);
  txl_compiler compiler;
  if (compiler.compile(*text, fn.get()) == 0)
    return send_json(res, {{"ok", true}});
  const txl_compile_error& error = compiler.error();
  std::size_t offset = std::min<std::size_t>(static_cast<std::size_t>(std::max(error.offset, 0)), text->size());
  send_json(res, {{"ok", false},
                  {"message", ansi_to_utf8(txl_compile_message(error))},
                  {"offset", ansi_to_utf8(text->substr(0, offset)).size()}});
}

void handle_project(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  if (!body.contains("path") || !body["path"].is_string())
    return send_error(res, 400, "A project selection needs the path.");
  std::string path = body["path"].get<std::string>();
  std::lock_guard lock(ctx.mutex);
  if (path.empty()) {
    ctx.project.clear();
    return send_json(res, project_status("", kov_msg_error_loading_project));
  }
  json status = project_status(absolute_path(path), kov_msg_error_loading_project);
  if (status["ok"].get<bool>()) {
    ctx.project = status["path"].get<std::string>();
    ctx.settings.last_project = ctx.project;
    std::string ignored;
    store_session_settings(ctx, ignored);
  }
  send_json(res, status);
}

}  // namespace quillet::editor

namespace quillet::editor {

// "/doc/PATH": an image the edited template refers to by a relative address, from the
// folder of the open document (else the current folder). Only image files are served.
void handle_doc_file(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  std::string base;
  {
    std::lock_guard lock(ctx.mutex);
    std::error_code ec;
    base = ctx.file.empty() ? std::filesystem::current_path(ec).string()
                            : std::filesystem::path(ctx.file).parent_path().string();
  }
  std::error_code ec;
  std::filesystem::path file = std::filesystem::canonical(std::filesystem::path(base) / req.path.substr(5), ec);
  std::string name = file.filename().string();
  if (ec || !std::filesystem::is_regular_file(file, ec) || !filter_admits("images", name)) {
    res.status = 404;
    res.set_content("Not found.\n", "text/plain; charset=utf-8");
    return;
  }
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  res.set_content(bytes.str(), std::string(web_mime_type(name)).c_str());
}

}  // namespace quillet::editor
