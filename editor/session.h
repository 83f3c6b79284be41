// The document session of the editor's server: which tab holds it, the settings it reads and
// writes, and what ends with it.
#pragma once

#include <string>

#include "editor/editor_context.h"

namespace quillet::editor {

// Reads the settings file named by the configuration.
void load_session_settings(editor_context& ctx);
// Writes the settings; false with `error` when that failed.
bool store_session_settings(editor_context& ctx, std::string& error);

// Empty when `tab` holds the session (and notes that it was seen), else why not.
std::string tab_holds_session(editor_context& ctx, const std::string& tab);
// Gives the session to a new tab when none holds it, or when `takeover`; the new tab's id,
// or empty when another tab holds it.
std::string take_session(editor_context& ctx, bool takeover);

// Removes the preview's files (and its own folder) as the server ends.
void end_session(editor_context& ctx);

}  // namespace quillet::editor
