// The project's channel map as the channel and object browsers show it: nodes, their objects
// and channels (name, code, comment) by index, and the attribute table.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace quillet::editor {

// Highest attribute code the browsers offer; the attribute table names codes from 1.
inline constexpr int channel_tree_max_attribute = 255;
// Highest object number looked up in a node (objects are numbered by the project file).
inline constexpr int channel_tree_max_object = 4096;

// {"loaded": true, "attributes": [{code, name}], "nodes": [{name, channels: [{index, name,
// code, comment}], objects: [{index, name, channels: [index...]}]}]} for a project file
// (ANSI path) with at least one node; {"loaded": false} otherwise. Texts are UTF-8.
nlohmann::json channel_tree(const std::string& project_path);

}  // namespace quillet::editor
