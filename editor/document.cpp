// The open and save sequences of the editor's document.
#include "editor/document.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/kov_project_holder.h"
#include "editor/document_json.h"
#include "editor/session.h"
#include "platform/files/replace_file.h"
#include "platform/project/project_interfaces.h"

namespace quillet::editor {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr std::uintmax_t max_template_size = std::uintmax_t{256} << 20;

// The file's bytes; false with `error` when it is no regular file, too large or unreadable.
bool read_file_bytes(const std::string& path, std::string& out, std::string& error) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    error = fs::exists(path, ec) ? "'" + path + "' is not a file" : "'" + path + "' does not exist";
    return false;
  }
  if (fs::file_size(path, ec) > max_template_size) {
    error = "'" + path + "' is larger than 256 MB";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in || in.bad()) {
    error = "cannot read '" + path + "'";
    return false;
  }
  out = bytes.str();
  return true;
}

bool has_extension(const std::string& path, std::initializer_list<const char*> exts) {
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  for (const char* e : exts)
    if (ext == e)
      return true;
  return false;
}

// The project an opened template works with: --project on the first open, else its PRJ
// setting (relative to its folder), else the last project of the settings.
std::string chosen_project(editor_context& ctx, const std::string& prj, const std::string& file) {
  if (!ctx.first_open_done && !ctx.config.project.empty())
    return absolute_path(ctx.config.project);
  if (!prj.empty())
    return fs::path(prj).is_absolute() ? prj : (fs::path(file).parent_path() / prj).lexically_normal().string();
  return ctx.settings.last_project;
}

}  // namespace

std::string absolute_path(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  return (ec ? fs::path(path) : p).lexically_normal().string();
}

json project_status(const std::string& path, const char* failure) {
  if (path.empty())
    return {{"path", ""}, {"ok", false}, {"message", ""}};
  com::register_project_component();
  kov_project_holder holder;
  if (holder.create() && holder.load(path))
    return {{"path", path}, {"ok", true}, {"message", ""}};
  std::vector<char> text(std::string(failure).size() + path.size() + 1);
  std::snprintf(text.data(), text.size(), failure, path.c_str());
  return {{"path", path}, {"ok", false}, {"message", text.data()}};
}

bool open_document(editor_context& ctx, const std::string& path, json& out, std::string& error) {
  const std::string file = absolute_path(path);
  std::string bytes;
  if (!read_file_bytes(file, bytes, error))
    return false;
  std::optional<loaded_template> loaded = load_template_text(bytes);
  if (!loaded) {
    error = "'" + file + "' is not an HTML document: its first element is not <HTML>";
    return false;
  }
  bool fragment = has_extension(file, {".htt"}) || !loaded->state.fragment.clsid.empty();
  json status = project_status(chosen_project(ctx, loaded->state.project, file), kov_msg_cannot_load_project);
  ctx.first_open_done = true;
  ctx.start_document = nullptr;  // a reloaded page must not get the first document back
  ctx.file = file;
  ctx.fragment = fragment;
  ctx.project = status["ok"].get<bool>() ? status["path"].get<std::string>() : std::string();
  add_recent(ctx.settings, file);
  std::string ignored;
  store_session_settings(ctx, ignored);
  out = {{"path", file}, {"fragment", fragment}, {"html", std::move(loaded->html)},
         {"state", state_json(loaded->state)}, {"projectStatus", status}};
  return true;
}

bool open_start_document(editor_context& ctx, std::string& error) {
  std::lock_guard lock(ctx.mutex);
  json document;
  if (!open_document(ctx, ctx.config.file, document, error))
    return false;
  ctx.start_document = std::move(document);
  return true;
}

bool save_document(editor_context& ctx, const json& request, std::string& saved, int& status, std::string& error) {
  status = 400;
  if (!request.contains("path") || !request["path"].is_string() || !request.contains("html") ||
      !request["html"].is_string()) {
    error = "a save needs the path and the html";
    return false;
  }
  std::string target = absolute_path(request["path"].get<std::string>());
  if (!has_extension(target, {".html", ".htm", ".htt"})) {
    error = "'" + target + "' does not end in .html, .htm or .htt";
    return false;
  }
  std::error_code ec;
  if (!fs::is_directory(fs::path(target).parent_path(), ec)) {
    error = "the folder of '" + target + "' does not exist";
    return false;
  }
  std::optional<template_markup_state> state = state_from_json(request.value("state", json()), error);
  if (!state)
    return false;
  std::optional<std::string> bytes =
      save_template_text(request["html"].get<std::string>(), *state, session_language(ctx), error);
  if (!bytes)
    return false;
  status = 500;
  if (!files::replace_file(target, *bytes, error))
    return false;
  saved = target;
  ctx.file = target;
  ctx.fragment = has_extension(target, {".htt"}) || !state->fragment.clsid.empty();
  add_recent(ctx.settings, target);
  std::string ignored;
  store_session_settings(ctx, ignored);
  return true;
}

}  // namespace quillet::editor
