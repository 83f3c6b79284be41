// The folder listings of the page's file chooser: folders and the files a filter admits,
// like a desktop editor's open and save dialogs show, and nothing else.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace quillet::editor {

// Whether a file name passes a filter: "html" (.html .htm), "htt", "all", "images" (.png
// .gif .jpg .jpeg .bmp .svg) or "project" (.json). False for an unknown filter.
bool filter_admits(const std::string& filter, const std::string& name);
// Whether a filter name is known.
bool is_known_filter(const std::string& filter);

// The listing of the folder `dir` (made canonical): {"dir", "parent", "entries"}; nothing,
// with `error`, when it is no readable folder.
std::optional<nlohmann::json> list_folder(const std::string& dir, const std::string& filter, std::string& error);

}  // namespace quillet::editor
