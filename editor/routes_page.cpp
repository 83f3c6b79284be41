// The start address and the page's files.
#include "editor/random_hex.h"
#include "editor/request_guard.h"
#include "editor/routes.h"
#include "editor/web_assets.h"

namespace quillet::editor {

namespace {

const char page_policy[] =
    "default-src 'self'; img-src 'self' data: blob:; style-src 'self' 'unsafe-inline'; frame-src 'self' blob:; "
    "frame-ancestors 'none'; object-src 'none'; base-uri 'none'; form-action 'none'";
// Help pages are shown inside the editor's own dialogs and run nothing.
const char help_policy[] =
    "default-src 'none'; img-src 'self' data:; style-src 'unsafe-inline'; frame-ancestors 'self'; base-uri 'none'; "
    "form-action 'none'";

void send_page_file(editor_context& ctx, std::string_view path, httplib::Response& res) {
  std::optional<web_file> file = find_web_file(path, ctx.config.web_dir);
  if (!file) {
    res.status = 404;
    res.set_content("Not found.\n", "text/plain; charset=utf-8");
    return;
  }
  res.set_header("Content-Security-Policy", path.starts_with("help/") ? help_policy : page_policy);
  res.set_content(std::move(file->bytes), file->mime.c_str());
}

}  // namespace

// "/?token=T" with the right token sets the session cookie and sends the browser to "/", so
// the token leaves the address bar; "/" itself needs the cookie.
void handle_start(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  if (req.has_param("token")) {
    if (!same_secret(req.get_param_value("token"), ctx.token)) {
      res.status = 403;
      res.set_content("This address is not valid any more: use the one that quillet edit printed.\n",
                      "text/plain; charset=utf-8");
      return;
    }
    res.status = 303;
    res.set_header("Location", "/");
    res.set_header("Set-Cookie", "quillet_session=" + ctx.session_id + "; HttpOnly; SameSite=Strict; Path=/");
    return;
  }
  guard_verdict session = check_request_session(
      [&req](std::string_view name) -> std::optional<std::string> {
        std::string key(name);
        if (!req.has_header(key.c_str()))
          return std::nullopt;
        return req.get_header_value(key.c_str());
      },
      "/", ctx.session_id);
  if (!session.ok) {
    res.status = 403;
    res.set_content(session.reason + "\n", "text/plain; charset=utf-8");
    return;
  }
  send_page_file(ctx, "index.html", res);
}

void handle_web_file(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  send_page_file(ctx, std::string_view(req.path).substr(5), res);
}

}  // namespace quillet::editor
