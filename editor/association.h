// The desktop entry that offers the editor under "Open with" for HTML files. It names the
// editor for text/html without making it the default application.
#pragma once

#include <string>

namespace quillet::editor {

// The entry's path: $XDG_DATA_HOME (or ~/.local/share, or `data_home` when given) +
// "/applications/quillet-editor.desktop".
std::string desktop_entry_path(const std::string& data_home = {});

// Writes the entry for the running program; false with `error` when that failed.
bool write_desktop_entry(const std::string& data_home, std::string& error);

}  // namespace quillet::editor
