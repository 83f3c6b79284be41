// Tabs, settings and the end of the editor's document session.
#include "editor/session.h"

#include "editor/preview.h"
#include "editor/random_hex.h"
#include "platform/crt/user_language.h"

namespace quillet::editor {

editor_context::editor_context(editor_config c) : config(std::move(c)) {}

void load_session_settings(editor_context& ctx) {
  ctx.settings_file = settings_path(ctx.config.config_home);
  ctx.settings = load_settings(ctx.settings_file);
  // The code page holds for the whole session: the page's texts are UTF-8 and the files are
  // converted at the server, so a language chosen later takes its code page at the next start.
  ctx.language = crt::user_language(ctx.settings.language);
  crt::set_codepage(crt::choose_codepage(ctx.settings.codepage, ctx.language));
}

bool store_session_settings(editor_context& ctx, std::string& error) {
  return save_settings(ctx.settings_file, ctx.settings, error);
}

std::string tab_holds_session(editor_context& ctx, const std::string& tab) {
  if (ctx.tab.empty() || !same_secret(tab, ctx.tab))
    return "The document was taken over by another tab.";
  ctx.tab_seen = std::chrono::steady_clock::now();
  return {};
}

std::string take_session(editor_context& ctx, bool takeover) {
  auto now = std::chrono::steady_clock::now();
  bool idle = now - ctx.tab_seen > std::chrono::seconds(editor_context::tab_timeout_seconds);
  if (!ctx.tab.empty() && !idle && !takeover)
    return {};
  ctx.tab = random_hex(16);
  ctx.tab_seen = now;
  return ctx.tab;
}

void end_session(editor_context& ctx) {
  end_preview(ctx.preview);
  ctx.tab.clear();
}

}  // namespace quillet::editor
