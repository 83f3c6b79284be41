// The session, state, settings, association and exit routes.
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "editor/association.h"
#include "editor/codepage_text.h"
#include "editor/document.h"
#include "editor/routes.h"
#include "editor/session.h"
#include "editor/web_assets.h"
#include "platform/crt/user_language.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

json path_or_null(const std::string& path) { return path.empty() ? json(nullptr) : json(path); }

}  // namespace

std::string session_language(const editor_context& ctx) {
  return ctx.language.empty() ? crt::user_language(ctx.settings.language) : ctx.language;
}

void handle_session(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  bool takeover = body.value("takeover", false);
  std::lock_guard lock(ctx.mutex);
  std::string tab = take_session(ctx, takeover);
  if (tab.empty())
    return send_error(res, 409, "The document is open in another tab.", {{"busy", true}});
  send_json(res, {{"tab", tab}});
}

void handle_ping(editor_context&, const httplib::Request&, httplib::Response& res) { send_json(res, json::object()); }

void handle_state(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  std::lock_guard lock(ctx.mutex);
  const char* home = std::getenv("HOME");
  std::error_code ec;
  json state = {{"version", "0.1"},
                {"file", path_or_null(ctx.file)},
                {"fragment", ctx.fragment},
                {"project", path_or_null(ctx.project)},
                {"settings", settings_json(ctx.settings)},
                {"home", home ? home : "/"},
                {"cwd", std::filesystem::current_path(ec).string()},
                {"language", session_language(ctx)},
                {"codepage", codepage_name()},
                {"document", ctx.start_document}};
  // The page's first request also brings its texts, so that it starts after one round trip.
  if (req.has_param("strings"))
    state["strings"] = web_string_table(session_language(ctx), ctx.config.web_dir);
  send_json(res, state);
}

void handle_settings(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  std::lock_guard lock(ctx.mutex);
  std::string error;
  editor_settings before = ctx.settings;
  if (!merge_settings(body, ctx.settings, error))
    return send_error(res, 400, error);
  if (!store_session_settings(ctx, error)) {
    ctx.settings = before;
    return send_error(res, 500, error);
  }
  // A language the user chooses now wins over QUILLET_LANG for the rest of the session.
  if (body.contains("language"))
    ctx.language = crt::known_language(ctx.settings.language).empty() ? crt::user_language({}) : ctx.settings.language;
  send_json(res, settings_json(ctx.settings));
}

void handle_association(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  std::string answer = body.value("answer", "");
  if (answer != "yes" && answer != "no")
    return send_error(res, 400, "The answer is \"yes\" or \"no\".");
  std::lock_guard lock(ctx.mutex);
  std::string error;
  if (answer == "yes" && !write_desktop_entry(ctx.config.data_home, error))
    return send_error(res, 500, error);
  ctx.settings.association_asked = true;
  if (!store_session_settings(ctx, error))
    return send_error(res, 500, error);
  send_json(res, settings_json(ctx.settings));
}

void handle_exit(editor_context& ctx, const httplib::Request&, httplib::Response& res) {
  send_json(res, json::object());
  if (ctx.config.on_exit)
    ctx.config.on_exit();
}

}  // namespace quillet::editor
