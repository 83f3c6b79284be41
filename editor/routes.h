// The routes of the editor's server, one table of (method, path, kind, handler) with one
// handler signature, and the helpers the handlers answer with. The kind says which checks a
// request passes before its handler runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "editor/editor_context.h"

namespace quillet::editor {

enum class route_kind {
  start,    // "/": exchanges the token for the cookie, or needs the cookie
  page,     // the page's files: the cookie
  api,      // reading API calls: the cookie and X-Quillet
  change,   // changing API calls: also the tab that holds the session
  session,  // taking the session: the cookie and X-Quillet, no tab yet
  preview,  // report files: the preview's secret path segment instead of the cookie
};

using route_handler = void (*)(editor_context& ctx, const httplib::Request& req, httplib::Response& res);

struct route {
  std::string_view method;
  std::string_view path;  // exact, or a prefix when it ends in "/"
  route_kind kind;
  route_handler handle;
};

// Every route of the server.
const std::vector<route>& editor_routes();

// Answers JSON with a status.
void send_json(httplib::Response& res, const nlohmann::json& body, int status = 200);
// Answers {"error": message} merged with `extra`.
void send_error(httplib::Response& res, int status, const std::string& message,
                const nlohmann::json& extra = nlohmann::json::object());
// The request's JSON object; false after answering 400 when the body is no JSON object.
bool read_json(const httplib::Request& req, httplib::Response& res, nlohmann::json& out);

// The route handlers, by group.
void handle_start(editor_context&, const httplib::Request&, httplib::Response&);
void handle_web_file(editor_context&, const httplib::Request&, httplib::Response&);
void handle_doc_file(editor_context&, const httplib::Request&, httplib::Response&);
void handle_session(editor_context&, const httplib::Request&, httplib::Response&);
void handle_ping(editor_context&, const httplib::Request&, httplib::Response&);
void handle_state(editor_context&, const httplib::Request&, httplib::Response&);
void handle_settings(editor_context&, const httplib::Request&, httplib::Response&);
void handle_association(editor_context&, const httplib::Request&, httplib::Response&);
void handle_exit(editor_context&, const httplib::Request&, httplib::Response&);
void handle_new(editor_context&, const httplib::Request&, httplib::Response&);
void handle_open(editor_context&, const httplib::Request&, httplib::Response&);
void handle_save(editor_context&, const httplib::Request&, httplib::Response&);
void handle_files(editor_context&, const httplib::Request&, httplib::Response&);
void handle_fonts(editor_context&, const httplib::Request&, httplib::Response&);
void handle_check(editor_context&, const httplib::Request&, httplib::Response&);
// Parameter input dialog
void handle_parameter_input(editor_context&, const httplib::Request&, httplib::Response&);
void handle_parameter_text(editor_context&, const httplib::Request&, httplib::Response&);
void handle_fragments(editor_context&, const httplib::Request&, httplib::Response&);
void handle_fragment(editor_context&, const httplib::Request&, httplib::Response&);
void handle_project(editor_context&, const httplib::Request&, httplib::Response&);
void handle_preview(editor_context&, const httplib::Request&, httplib::Response&);
void handle_preview_file(editor_context&, const httplib::Request&, httplib::Response&);
// Expression builders.
void handle_builder_recognize(editor_context&, const httplib::Request&, httplib::Response&);
void handle_builder_emit(editor_context&, const httplib::Request&, httplib::Response&);
void handle_channels(editor_context&, const httplib::Request&, httplib::Response&);
void handle_format_sample(editor_context&, const httplib::Request&, httplib::Response&);

// Element properties.
void handle_catalogue(editor_context&, const httplib::Request&, httplib::Response&);
void handle_element_rows(editor_context&, const httplib::Request&, httplib::Response&);
void handle_element_set(editor_context&, const httplib::Request&, httplib::Response&);
// Colours of the property pages.
void handle_colors(editor_context&, const httplib::Request&, httplib::Response&);
void handle_color(editor_context&, const httplib::Request&, httplib::Response&);

}  // namespace quillet::editor
