// Writing the editor's desktop entry.
#include "editor/association.h"

#include <cstdlib>
#include <filesystem>

#include "platform/files/replace_file.h"

namespace quillet::editor {

std::string desktop_entry_path(const std::string& data_home) {
  std::string base = data_home;
  if (base.empty()) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    base = xdg && *xdg ? xdg : std::string(home ? home : ".") + "/.local/share";
  }
  return base + "/applications/quillet-editor.desktop";
}

// A desktop entry quotes an argument with double quotes and escapes ", `, $ and \ in it.
static std::string quoted_exec(const std::string& path) {
  std::string out = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      out += '\\';
    out += c;
  }
  return out + "\"";
}

// Only MimeType names the type: nothing here touches mimeapps.list, so the entry is offered
// under "Open with" and never becomes the default.
bool write_desktop_entry(const std::string& data_home, std::string& error) {
  std::error_code ec;
  std::string program = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (ec) {
    error = "cannot find the program's path: " + ec.message();
    return false;
  }
  const std::string path = desktop_entry_path(data_home);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=HTML Template Editor\n"
      "Comment=Edit VELMOR report templates\n"
      "Exec=" + quoted_exec(program) + " edit %f\n"
      "MimeType=text/html;\n"
      "Terminal=false\n"
      "NoDisplay=false\n"
      "Categories=Development;\n";
  return files::replace_file(path, text, error);
}

}  // namespace quillet::editor
