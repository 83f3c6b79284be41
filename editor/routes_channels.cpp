// The channel map of the session's project for the channel and object browsers.
#include "data/kov_project_holder.h"
#include "editor/channel_tree_cache.h"
#include "editor/routes.h"

namespace quillet::editor {

// The tree of the chosen project; without one, "loaded" false and the warning to show.
void handle_channels(editor_context& ctx, const httplib::Request&, httplib::Response& res) {
  std::string project;
  {
    std::lock_guard lock(ctx.mutex);
    project = ctx.project;
  }
  if (std::shared_ptr<const std::string> text = project.empty() ? nullptr : cached_channel_tree(project)) {
    res.set_content(*text, "application/json; charset=utf-8");
    return;
  }
  send_json(res, {{"loaded", false}, {"message", kov_msg_project_not_specified}});
}

}  // namespace quillet::editor
