// The preview routes and the fragments folder.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/codepage_text.h"
#include "editor/document.h"
#include "editor/document_json.h"
#include "editor/fragments.h"
#include "editor/preview.h"
#include "editor/random_hex.h"
#include "editor/routes.h"
#include "editor/web_assets.h"

namespace quillet::editor {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

void not_found(httplib::Response& res) {
  res.status = 404;
  res.set_content("Not found.\n", "text/plain; charset=utf-8");
}

std::string program_dir(const editor_context& ctx) {
  if (!ctx.config.program_dir.empty())
    return ctx.config.program_dir;
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).parent_path().string();
}

#ifdef QUILLET_SOURCE_DIR
const char* source_dir = QUILLET_SOURCE_DIR;
#else
const char* source_dir = "";
#endif

}  // namespace

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

// "/preview/KEY/NAME": the current report or one of its images, sandboxed so that the
// report runs as a page of no origin. The secret KEY stands in for the cookie, which a
// sandboxed page's requests do not carry.
void handle_preview_file(editor_context& ctx, const httplib::Request& req, httplib::Response& res) {
  std::string_view rest = std::string_view(req.path).substr(9);
  std::size_t slash = rest.find('/');
  if (slash == std::string_view::npos)
    return not_found(res);
  std::string name(rest.substr(slash + 1));
  std::string path;
  {
    std::lock_guard lock(ctx.mutex);
    const preview_files& p = ctx.preview;
    bool known = !p.report.empty() && (name == p.report || std::find(p.images.begin(), p.images.end(), name) != p.images.end());
    if (!same_secret(rest.substr(0, slash), p.key) || !known)
      return not_found(res);
    path = (fs::path(p.folder) / name).string();
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in)
    return not_found(res);
  std::string ext = fs::path(name).extension().string();
  std::string mime = ext == ".htm" || ext == ".html" ? "text/html; charset=" + codepage_name()
                     : ext == ".bmp"                  ? std::string("image/bmp")
                                                      : std::string(web_mime_type(name));
  res.set_header("Content-Security-Policy", "sandbox");
  res.set_content(bytes.str(), mime.c_str());
}

void handle_fragments(editor_context& ctx, const httplib::Request&, httplib::Response& res) {
  std::string dir;
  {
    std::lock_guard lock(ctx.mutex);
    dir = fragments_folder(program_dir(ctx), source_dir, session_language(ctx));
  }
  if (dir.empty())
    return send_json(res, {{"dir", nullptr}, {"entries", json::array()}});
  json entries = json::array();
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code e2;
    if (name[0] != '.' && it->is_regular_file(e2) && it->path().extension() == ".htt")
      entries.push_back({{"name", name}, {"size", it->file_size(e2)}});
  }
  std::sort(entries.begin(), entries.end(), [](const json& a, const json& b) { return a["name"] < b["name"]; });
  send_json(res, {{"dir", dir}, {"entries", entries}});
}

namespace {

// The wizard's values ([{"name", "value"}]) as a property list; false with `error` when it is
// no such list.
bool take_params(const json& list, txl_prop_list& out, std::string& error) {
  if (!list.is_array()) {
    error = "params must be an array";
    return false;
  }
  json props = json::array();
  for (const json& p : list) {
    if (!p.is_object() || !p.contains("name") || !p.contains("value")) {
      error = "each parameter needs its name and value";
      return false;
    }
    props.push_back({{"name", p["name"]}, {"expr", p["value"]}});
  }
  return take_props(props, out, error);
}

}  // namespace

void handle_fragment(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  const json title = {{"title", "Error loading fragment file"}};
  if (!body.contains("path") || !body["path"].is_string())
    return send_error(res, 400, "A fragment needs the path.", title);
  std::string path = absolute_path(body["path"].get<std::string>());
  std::error_code ec;
  if (fs::path(path).extension() != ".htt" || !fs::is_regular_file(path, ec))
    return send_error(res, 400, "'" + path + "' is not a fragment file (.htt).", title);
  int base = body.value("base", 0);
  std::string error;
  txl_prop_list values;
  txl_prop_list target_variables;
  if (!take_params(body.value("params", json::array()), values, error) ||
      !take_props(body.value("variables", json::array()), target_variables, error))
    return send_error(res, 400, error, title);
  std::optional<json> fragment = load_fragment(path, base < 0 ? 0 : base, values, target_variables, error);
  if (!fragment)
    return send_error(res, 500, error, title);
  send_json(res, *fragment);
}

}  // namespace quillet::editor
