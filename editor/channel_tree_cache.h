// The channel map's answer kept between openings of the browsers: a project of many thousand
// channels is read once, and again only when its file changes.
#pragma once

#include <memory>
#include <string>

namespace quillet::editor {

// The JSON text of channel_tree(project_path) when the project loads, else null. The text is
// reused while the file keeps its size and modification time.
std::shared_ptr<const std::string> cached_channel_tree(const std::string& project_path);

}  // namespace quillet::editor
