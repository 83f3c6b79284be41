// Reading and writing the editor's settings file.
#include "editor/editor_settings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/crt/user_language.h"
#include "platform/files/replace_file.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

// Whether a code page setting is empty (none chosen) or one the program has.
bool known_codepage(const std::string& name) {
  crt::codepage ignored;
  return name.empty() || crt::parse_codepage(name, ignored);
}

}  // namespace

std::string settings_path(const std::string& config_home) { return crt::user_settings_path(config_home); }

nlohmann::json settings_json(const editor_settings& s) {
  return json{{"recent", s.recent},
              {"lastProject", s.last_project},
              {"reportFolder", s.report_folder},
              {"language", s.language},
              {"codepage", s.codepage},
              {"associationAsked", s.association_asked},
              {"restrictFiles", s.restrict_files},
              {"toolbars", s.toolbars}};
}

namespace {

// Reads a toolbar layout: an object naming only known toolbars and sides; false otherwise.
bool read_toolbars(const json& value, std::map<std::string, std::string>& layout) {
  static const std::string names = "|main|format|insert|", sides = "|top|bottom|left|right|";
  if (!value.is_object())
    return false;
  std::map<std::string, std::string> next;
  for (const auto& [name, side] : value.items()) {
    if (!side.is_string() || names.find("|" + name + "|") == std::string::npos ||
        sides.find("|" + side.get<std::string>() + "|") == std::string::npos)
      return false;
    next[name] = side.get<std::string>();
  }
  layout = std::move(next);
  return true;
}

}  // namespace

bool merge_settings(const json& partial, editor_settings& settings, std::string& error) {
  if (!partial.is_object()) {
    error = "settings must be an object";
    return false;
  }
  editor_settings next = settings;
  for (const auto& [key, value] : partial.items()) {
    bool text = value.is_string();
    if (key == "recent" && value.is_array() && std::all_of(value.begin(), value.end(), [](const json& v) { return v.is_string(); })) {
      next.recent = value.get<std::vector<std::string>>();
      if (next.recent.size() > editor_settings::max_recent)
        next.recent.resize(editor_settings::max_recent);
    } else if (key == "lastProject" && text) {
      next.last_project = value.get<std::string>();
    } else if (key == "reportFolder" && text) {
      next.report_folder = value.get<std::string>();
    } else if (key == "language" && text && std::string("|en|it|ru|zh|").find("|" + value.get<std::string>() + "|") != std::string::npos) {
      next.language = value.get<std::string>();
    } else if (key == "codepage" && text && known_codepage(value.get<std::string>())) {
      next.codepage = value.get<std::string>();
    } else if (key == "associationAsked" && value.is_boolean()) {
      next.association_asked = value.get<bool>();
    } else if (key == "restrictFiles" && value.is_boolean()) {
      next.restrict_files = value.get<bool>();
    } else if (key == "toolbars" && read_toolbars(value, next.toolbars)) {
      continue;
    } else {
      error = "unknown setting or wrong value: " + key;
      return false;
    }
  }
  settings = next;
  return true;
}

editor_settings load_settings(const std::string& path) {
  editor_settings settings;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return settings;
  json stored = json::parse(in, nullptr, false);
  if (!stored.is_object())
    return settings;
  for (const auto& [key, value] : stored.items()) {
    std::string ignored;
    merge_settings(json{{key, value}}, settings, ignored);
  }
  return settings;
}

bool save_settings(const std::string& path, const editor_settings& settings, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return files::replace_file(path, settings_json(settings).dump(2) + "\n", error);
}

void add_recent(editor_settings& settings, const std::string& path) {
  auto& r = settings.recent;
  r.erase(std::remove(r.begin(), r.end(), path), r.end());
  r.insert(r.begin(), path);
  if (r.size() > editor_settings::max_recent)
    r.resize(editor_settings::max_recent);
}

}  // namespace quillet::editor
