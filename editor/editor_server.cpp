// The editor's server: binding, the checks every request passes and the dispatch to the
// route table.
#include "editor/editor_server.h"

#include <malloc.h>

#include <httplib.h>

#include "doc/node_pool.h"
#include "editor/random_hex.h"
#include "editor/request_guard.h"
#include "editor/routes.h"
#include "editor/session.h"

namespace quillet::editor {

namespace {

constexpr std::size_t max_body = std::size_t{64} << 20;

header_lookup headers_of(const httplib::Request& req) {
  return [&req](std::string_view name) -> std::optional<std::string> {
    std::string key(name);
    if (!req.has_header(key.c_str()))
      return std::nullopt;
    return req.get_header_value(key.c_str());
  };
}

// The route for a path, or null.
const route* find_route(std::string_view path) {
  for (const route& r : editor_routes()) {
    bool prefix = r.path.size() > 1 && r.path.back() == '/';
    if (prefix ? path.rfind(r.path, 0) == 0 : path == r.path)
      return &r;
  }
  return nullptr;
}

void refuse(httplib::Response& res, int status, const std::string& text) {
  res.status = status;
  res.set_content(text + "\n", "text/plain; charset=utf-8");
}

// The checks of a route's kind; false after answering.
bool passes_kind_checks(editor_context& ctx, const route& r, const httplib::Request& req, httplib::Response& res) {
  if (r.kind == route_kind::preview || r.kind == route_kind::start)
    return true;
  guard_verdict session = check_request_session(headers_of(req), req.path, ctx.session_id);
  if (!session.ok) {
    refuse(res, 403, session.reason);
    return false;
  }
  if (req.method == "POST" && !req.body.empty() && req.get_header_value("Content-Type").rfind("application/json", 0) != 0) {
    send_error(res, 415, "API requests send JSON.");
    return false;
  }
  if (r.kind != route_kind::change)
    return true;
  std::lock_guard lock(ctx.mutex);
  std::string stale = tab_holds_session(ctx, req.get_header_value("X-Quillet-Tab"));
  if (stale.empty())
    return true;
  send_error(res, 409, stale, {{"stale", true}});
  return false;
}

// Answers go out as they are: over the loopback compression only costs time, and the library
// would compress a browser's answers with brotli at its slowest setting (seconds for a large
// document, tens of milliseconds for each of the page's modules). The library reads the
// request's Accept-Encoding when it writes the answer, so the header is dropped here; the
// request object is the server's own, not const.
void send_uncompressed(const httplib::Request& req) {
  const_cast<httplib::Request&>(req).headers.erase("Accept-Encoding");
}

// Every request: site checks, then the route, its method and its kind's checks.
void dispatch(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  send_uncompressed(req);
  res.set_header("Cache-Control", "no-store");
  res.set_header("X-Content-Type-Options", "nosniff");
  res.set_header("Referrer-Policy", "no-referrer");
  guard_verdict site = check_request_site(headers_of(req), ctx.port);
  if (!site.ok)
    return refuse(res, 403, site.reason);
  const route* r = find_route(req.path);
  if (!r) {
    guard_verdict session = check_request_session(headers_of(req), "/", ctx.session_id);
    return session.ok ? refuse(res, 404, "Not found.") : refuse(res, 403, session.reason);
  }
  if (req.method != r->method) {
    res.set_header("Allow", std::string(r->method));
    return refuse(res, 405, "Method not allowed.");
  }
  if (!passes_kind_checks(ctx, *r, req, res))
    return;
  // A field of the wrong kind in the page's JSON is the request's fault, whichever handler
  // met it first.
  try {
    r->handle(ctx, req, res);
  } catch (const nlohmann::json::exception& e) {
    send_error(res, 400, std::string("The request is malformed: ") + e.what());
  }
}

// Bounds what the allocator keeps once requests are answered, so that the server at rest stays
// small after large documents and previews: blocks of a document's size (its text, its JSON)
// are mapped on their own and unmapped when freed, instead of the threshold growing with the
// largest block ever freed; two arenas instead of one per pool thread; and the many small
// blocks a document tree or a report run leaves go back to the system after large requests
// and previews (the logger runs once the response is written).
void keep_memory_small() {
  mallopt(M_MMAP_THRESHOLD, 256 << 10);
  mallopt(M_ARENA_MAX, 2);
}

// The document reader keeps empty node blocks for the next read, and the allocator keeps freed
// pages; both go back to the system.
void give_memory_back() {
  node_pool::release_spare_blocks();
  malloc_trim(0);
}

}  // namespace

editor_server::editor_server(editor_config config)
    : http_(std::make_unique<httplib::Server>()), ctx_(std::move(config)) {}

editor_server::~editor_server() = default;

bool editor_server::bind(std::string& error) {
  ctx_.token = random_hex(16);
  ctx_.session_id = random_hex(32);
  ctx_.preview.key = random_hex(16);
  if (ctx_.token.empty() || ctx_.session_id.empty() || ctx_.preview.key.empty()) {
    error = "the system's random source failed";
    return false;
  }
  load_session_settings(ctx_);
  http_->set_payload_max_length(max_body);
  // Small responses go out at once instead of waiting for the client's delayed ACK.
  http_->set_tcp_nodelay(true);
  // The page's modules come over the browser's few connections; each one stays open for the
  // whole start instead of being closed after five requests.
  http_->set_keep_alive_max_count(100);
  keep_memory_small();
  http_->set_logger([](const httplib::Request& req, const httplib::Response& res) {
    if (req.body.size() + res.body.size() > (std::size_t{256} << 10) || req.path == "/api/preview")
      give_memory_back();
  });
  http_->new_task_queue = [] { return new httplib::ThreadPool(8); };
  auto handler = [this](const httplib::Request& req, httplib::Response& res) { dispatch(ctx_, req, res); };
  // One catch-all per method, so that every request, of any method, passes the same checks.
  http_->Get(".*", handler);
  http_->Post(".*", handler);
  http_->Put(".*", handler);
  http_->Delete(".*", handler);
  http_->Options(".*", handler);
  http_->Patch(".*", handler);
  ctx_.port = ctx_.config.port ? (http_->bind_to_port("127.0.0.1", ctx_.config.port) ? ctx_.config.port : -1)
                               : http_->bind_to_any_port("127.0.0.1");
  if (ctx_.port <= 0) {
    error = ctx_.config.port ? "cannot listen on 127.0.0.1:" + std::to_string(ctx_.config.port)
                             : "cannot listen on 127.0.0.1";
    return false;
  }
  return true;
}

std::string editor_server::start_address() const {
  return "http://127.0.0.1:" + std::to_string(ctx_.port) + "/?token=" + ctx_.token;
}

void editor_server::run() {
  http_->listen_after_bind();
  std::lock_guard lock(ctx_.mutex);
  end_session(ctx_);
}

void editor_server::stop() { http_->stop(); }

}  // namespace quillet::editor
