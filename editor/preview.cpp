// The preview run of the editor.
#include "editor/preview.h"

#include <filesystem>

namespace quillet::editor {

bool run_preview(editor_context& ctx, const nlohmann::json& request, nlohmann::json& out, std::string& error) {
  error = "The preview is not available yet.";
  out = {{"problems", nlohmann::json::array()}};
  return false;
}

void remove_preview_files(preview_files& files) {
  std::error_code ignored;
  if (!files.report.empty())
    std::filesystem::remove(std::filesystem::path(files.folder) / files.report, ignored);
  for (const std::string& name : files.images)
    std::filesystem::remove(std::filesystem::path(files.folder) / name, ignored);
  files.report.clear();
  files.images.clear();
  if (files.own_folder && !files.folder.empty())
    std::filesystem::remove_all(files.folder, ignored);
}

}  // namespace quillet::editor
