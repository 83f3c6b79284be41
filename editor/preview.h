// The report preview of the editor: runs the edited template into the report folder under a
// fresh "htp" name and keeps the names of what the run wrote until the next run or the end.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "editor/editor_context.h"

namespace quillet::editor {

// Runs the page's html and state at `time` (seconds since 1970; 0: now): {"url", "problems"}
// in `out`. False with `error` (and the problems in `out`) when the run failed; the previous
// preview then stays.
bool run_preview(editor_context& ctx, const nlohmann::json& request, nlohmann::json& out, std::string& error);

// Removes the current report and its extra files.
void remove_preview_files(preview_files& files);
// remove_preview_files, and the folder too when it is the preview's own: the server ends.
void end_preview(preview_files& files);

}  // namespace quillet::editor
