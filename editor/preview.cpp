// The preview run of the editor: a fresh "htp" name in the report folder, the shared report
// run, and the names of what it wrote kept for the next run and the end.
#include "editor/preview.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "editor/codepage_text.h"
#include "editor/document.h"
#include "editor/document_json.h"
#include "report/report_run.h"

namespace quillet::editor {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// The folder reports go to: the settings' report folder, else a temporary folder of this
// server made on first use. Empty when neither can be had.
std::string report_folder(editor_context& ctx, std::string& error) {
  std::error_code ec;
  if (!ctx.settings.report_folder.empty()) {
    if (!fs::is_directory(ctx.settings.report_folder, ec))
      error = "the report folder '" + ctx.settings.report_folder + "' does not exist";
    return error.empty() ? ctx.settings.report_folder : std::string();
  }
  if (!ctx.preview.temp_folder.empty() && fs::is_directory(ctx.preview.temp_folder, ec))
    return ctx.preview.temp_folder;
  std::string pattern = (fs::temp_directory_path(ec) / "quillet-preview-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    error = "cannot make a folder for the preview";
    return {};
  }
  ctx.preview.temp_folder = pattern;
  return pattern;
}

// Reserves "htp" + n + ".htm" with the smallest n whose file does not exist yet, creating it
// exclusively so that two runs never share a name; empty when no name could be had.
std::string reserve_report_name(const std::string& folder) {
  for (int n = 0; n < 100000; ++n) {
    std::string name = "htp" + std::to_string(n) + ".htm";
    int fd = ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST)
      return {};
  }
  return {};
}

json problems_json(const std::vector<report_problem>& problems) {
  json out = json::array();
  for (const report_problem& p : problems)
    out.push_back({{"message", ansi_to_utf8(p.message)},
                   {"element", p.element ? json(p.element) : json(nullptr)},
                   {"property", p.property.empty() ? json(nullptr) : json(ansi_to_utf8(p.property))},
                   {"line", nullptr},
                   {"column", nullptr}});
  return out;
}

// The run's request: the page's template with the save conventions, the session's project.
bool make_request(editor_context& ctx, const json& body, report_request& request, std::string& error) {
  if (!body.contains("html") || !body["html"].is_string()) {
    error = "a preview needs the html";
    return false;
  }
  std::optional<template_markup_state> state = state_from_json(body.value("state", json()), error);
  if (!state)
    return false;
  std::optional<std::string> bytes = save_template_text(body["html"].get<std::string>(), *state, session_language(ctx), error);
  if (!bytes)
    return false;
  request.template_text = std::move(*bytes);
  std::error_code ec;
  request.template_dir = ctx.file.empty() ? fs::current_path(ec).string() : fs::path(ctx.file).parent_path().string();
  request.project = ctx.project;
  request.restrict_files = ctx.settings.restrict_files;
  const json time = body.value("time", json());
  request.time = time.is_number() && time.get<double>() >= 0 && time.get<double>() <= 4294967295.0
                     ? static_cast<std::uint32_t>(time.get<double>())
                     : static_cast<std::uint32_t>(std::time(nullptr));
  request.collect_problems = true;
  return true;
}

}  // namespace

bool run_preview(editor_context& ctx, const json& body, json& out, std::string& error) {
  out = {{"problems", json::array()}};
  report_request request;
  if (!make_request(ctx, body, request, error))
    return false;
  std::string folder = report_folder(ctx, error);
  if (folder.empty())
    return false;
  std::string name = reserve_report_name(folder);
  if (name.empty()) {
    error = "cannot make a report file in '" + folder + "'";
    return false;
  }
  request.output_dir = folder;
  request.base_name = fs::path(name).stem().string();
  report_result result = produce_report(request);
  if (!result.warning.empty())
    result.problems.insert(result.problems.begin(), report_problem{result.warning, 0, {}});
  out["problems"] = problems_json(result.problems);
  if (!result.ok()) {
    std::error_code ignored;
    fs::remove(fs::path(folder) / name, ignored);
    error = result.failure == report_failure::project ? "cannot load the project: " + result.error
            : result.failure == report_failure::not_html ? "the template is not an HTML document"
                                                          : "the report could not be written: " + result.error;
    return false;
  }
  // Only now does the previous preview go, so that a failed run leaves it in place.
  remove_preview_files(ctx.preview);
  ctx.preview.folder = folder;
  ctx.preview.report = name;
  ctx.preview.images = result.images;
  out["url"] = "/preview/" + ctx.preview.key + "/" + name;
  return true;
}

void remove_preview_files(preview_files& files) {
  std::error_code ignored;
  if (!files.report.empty())
    fs::remove(fs::path(files.folder) / files.report, ignored);
  for (const std::string& name : files.images)
    fs::remove(fs::path(files.folder) / name, ignored);
  files.report.clear();
  files.images.clear();
}

void end_preview(preview_files& files) {
  remove_preview_files(files);
  std::error_code ignored;
  if (!files.temp_folder.empty())
    fs::remove_all(files.temp_folder, ignored);
  files.temp_folder.clear();
}

}  // namespace quillet::editor
