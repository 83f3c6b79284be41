// What the editor's server keeps for its one document session: the configuration it was
// started with, the secrets, the tab that holds the session, the open document's path, the
// project, the settings and the preview. Routes reach it under its mutex.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "editor/editor_settings.h"

namespace quillet::editor {

struct editor_config {
  std::string file;          // the template named on the command line, opened first
  std::string project;       // --project: preselects the project of that first open
  int port = 0;              // 0: a free port
  std::string web_dir;       // QUILLET_WEB_DIR: the page from disk instead of the program
  std::string config_home;   // empty: $XDG_CONFIG_HOME or ~/.config
  std::string data_home;     // empty: $XDG_DATA_HOME or ~/.local/share
  std::string program_dir;   // folder of the program (fragments); empty: from /proc/self/exe
  std::function<void()> on_exit;          // called after POST /api/exit has answered
};

struct preview_files {
  std::string folder;       // where the current report lies
  std::string temp_folder;  // the server's own folder for reports, made on first use, removed at exit
  std::string key;      // the secret path segment of the preview addresses
  std::string report;   // name of the current report, empty when none
  std::vector<std::string> images;  // names of its extra files
};

struct editor_context {
  explicit editor_context(editor_config config);

  editor_config config;
  int port = 0;
  std::string token;       // of the start address
  std::string session_id;  // the cookie's value
  std::string tab;         // the tab holding the session; empty: none
  std::chrono::steady_clock::time_point tab_seen;
  std::string file;        // the open document's path; empty: untitled
  bool fragment = false;
  std::string project;     // the session's project path; empty: none chosen
  bool first_open_done = false;
  nlohmann::json start_document;  // the command line's document, for the page's first state
  editor_settings settings;
  std::string settings_file;
  // The language of the user interface: chosen at the start, then by the Language command.
  std::string language;
  preview_files preview;
  std::mutex mutex;

  // Seconds after which a silent tab no longer holds the session.
  static constexpr int tab_timeout_seconds = 60;
};

}  // namespace quillet::editor
