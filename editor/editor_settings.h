// The editor's settings, kept in $XDG_CONFIG_HOME/quillet/settings.json (else
// ~/.config/quillet/settings.json): recent files, the last project, the report folder, the
// language, the code page, whether the association question was asked and whether the
// preview's lists are held to the template's folder. Written through the output file protocol.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillet::editor {

struct editor_settings {
  std::vector<std::string> recent;  // newest first, at most max_recent
  std::string last_project;
  std::string report_folder;
  std::string language;  // "", "en", "it", "ru" or "zh"
  std::string codepage;  // "": the language's; else a name QUILLET_CODEPAGE takes ("windows-1251")
  bool association_asked = false;
  // The preview's READLIST reads only in the template's folder and below, for hosts that
  // open templates written by others.
  bool restrict_files = false;
  // Where each toolbar is docked: "main", "format" or "insert" -> "top", "bottom", "left" or
  // "right"; a toolbar not listed is at the top.
  std::map<std::string, std::string> toolbars;

  static constexpr std::size_t max_recent = 4;
};

// The settings file's path under the given configuration folder (empty: from the
// environment as above).
std::string settings_path(const std::string& config_home = {});

// The settings in the file; defaults for a missing, unreadable or malformed file, or for
// values of the wrong kind.
editor_settings load_settings(const std::string& path);
// Writes the settings; false with `error` when that failed (the old file stays).
bool save_settings(const std::string& path, const editor_settings& settings, std::string& error);

nlohmann::json settings_json(const editor_settings& settings);
// Applies the keys of a partial settings object; false with `error` for an unknown key or a
// value of the wrong kind (nothing is changed then).
bool merge_settings(const nlohmann::json& partial, editor_settings& settings, std::string& error);

// Puts `path` at the top of the recent files, without duplicates, keeping at most four.
void add_recent(editor_settings& settings, const std::string& path);

}  // namespace quillet::editor
