// The channel map of the session's project for the channel and object browsers.
#include "data/kov_project_holder.h"
#include "editor/channel_tree.h"
#include "editor/routes.h"

namespace quillet::editor {

// The tree of the chosen project; without one, "loaded" false and the warning to show.
void handle_channels(editor_context& ctx, const httplib::Request&, httplib::Response& res) {
  std::string project;
  {
    std::lock_guard lock(ctx.mutex);
    project = ctx.project;
  }
  nlohmann::json tree = channel_tree(project);
  if (!tree["loaded"].get<bool>())
    tree["message"] = kov_msg_project_not_specified;
  send_json(res, tree);
}

}  // namespace quillet::editor
