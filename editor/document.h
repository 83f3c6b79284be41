// Opening and saving the session's document: files in the code page on one side, the
// page's Document JSON on the other, the project of an opened template in between.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "editor/editor_context.h"

namespace quillet::editor {

// Opens the template at `path` as the session's document: the Document JSON with its
// projectStatus in `out`. False with `error` (the reason; the page shows "Error opening
// document" beside it) when the file cannot be read or is not an HTML document.
bool open_document(editor_context& ctx, const std::string& path, nlohmann::json& out, std::string& error);

// Opens the command line's file as open_document does and keeps its Document for the page's
// first state; false with `error` as there.
bool open_start_document(editor_context& ctx, std::string& error);

// Saves the page's html and state to `path`; the absolute path written in `saved`. False
// with `status` (400 for a request at fault, 500 for a failed write) and `error`.
bool save_document(editor_context& ctx, const nlohmann::json& request, std::string& saved, int& status,
                   std::string& error);

// The status of loading the project at `path`: {"path", "ok", "message"}. `failure` is the
// message format used when it does not load ("Cannot load project %s, ...").
nlohmann::json project_status(const std::string& path, const char* failure);

// The two-letter user-interface language of the session.
std::string session_language(const editor_context& ctx);

// An absolute, lexically normal form of a path from the page (relative to the current folder).
std::string absolute_path(const std::string& path);

}  // namespace quillet::editor
