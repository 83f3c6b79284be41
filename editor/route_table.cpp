// The route table of the editor's server and the answers shared by its handlers.
#include "editor/routes.h"

namespace quillet::editor {

using nlohmann::json;

const std::vector<route>& editor_routes() {
  static const std::vector<route> table = {
      {"GET", "/", route_kind::start, handle_start},
      {"GET", "/web/", route_kind::page, handle_web_file},
      {"GET", "/doc/", route_kind::page, handle_doc_file},
      {"GET", "/preview/", route_kind::preview, handle_preview_file},
      {"POST", "/api/session", route_kind::session, handle_session},
      {"POST", "/api/ping", route_kind::change, handle_ping},
      {"GET", "/api/state", route_kind::api, handle_state},
      {"POST", "/api/settings", route_kind::change, handle_settings},
      {"POST", "/api/association", route_kind::change, handle_association},
      {"POST", "/api/exit", route_kind::change, handle_exit},
      {"POST", "/api/new", route_kind::change, handle_new},
      {"POST", "/api/open", route_kind::change, handle_open},
      {"POST", "/api/save", route_kind::change, handle_save},
      {"GET", "/api/files", route_kind::api, handle_files},
      {"GET", "/api/fonts", route_kind::api, handle_fonts},
      {"POST", "/api/check", route_kind::change, handle_check},
      {"GET", "/api/fragments", route_kind::api, handle_fragments},
      {"POST", "/api/fragment", route_kind::change, handle_fragment},
      // Parameter input dialog
      {"POST", "/api/parameter-input", route_kind::change, handle_parameter_input},
      {"POST", "/api/parameter-text", route_kind::change, handle_parameter_text},
      {"POST", "/api/project", route_kind::change, handle_project},
      {"POST", "/api/preview", route_kind::change, handle_preview},
      // element properties
      {"GET", "/api/catalogue", route_kind::api, handle_catalogue},
      {"POST", "/api/element/rows", route_kind::change, handle_element_rows},
      {"POST", "/api/element/set", route_kind::change, handle_element_set},
      // Colours of the property pages
      {"GET", "/api/colors", route_kind::api, handle_colors},
      {"POST", "/api/color", route_kind::change, handle_color},
      // Expression builders.
      {"POST", "/api/builder/recognize", route_kind::change, handle_builder_recognize},
      {"POST", "/api/builder/emit", route_kind::change, handle_builder_emit},
      {"GET", "/api/channels", route_kind::api, handle_channels},
      {"POST", "/api/builder/sample", route_kind::change, handle_format_sample},
  };
  return table;
}

void send_json(httplib::Response& res, const json& body, int status) {
  res.status = status;
  // With the charset named the HTTP library does not compress the answer: over the loopback
  // a channel map of some megabytes goes out at once instead of after seconds of brotli.
  res.set_content(body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json; charset=utf-8");
}

void send_error(httplib::Response& res, int status, const std::string& message, const json& extra) {
  json body = extra;
  body["error"] = message;
  send_json(res, body, status);
}

bool read_json(const httplib::Request& req, httplib::Response& res, json& out) {
  out = req.body.empty() ? json::object() : json::parse(req.body, nullptr, false);
  if (out.is_object())
    return true;
  send_error(res, 400, "The request body is not a JSON object.");
  return false;
}

}  // namespace quillet::editor
