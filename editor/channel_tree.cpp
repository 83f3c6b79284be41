// Reading the channel map through the project component's interfaces.
#include "editor/channel_tree.h"

#include <algorithm>

#include "data/kov_project_holder.h"
#include "editor/codepage_text.h"
#include "platform/com/wide_text.h"
#include "platform/project/project_interfaces.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

// The UTF-8 text of a project text as the code page holds it. Plain ASCII, which every code
// page holds alike, is copied: a map of many thousand channels opens without a conversion
// per name.
std::string utf8_of(const std::u16string& wide) {
  if (std::all_of(wide.begin(), wide.end(), [](char16_t c) { return c < 0x80; }))
    return std::string(wide.begin(), wide.end());
  return ansi_to_utf8(com::wide_to_ansi(wide));
}

// The channels of object 0 (every channel of the node) with their names, codes and comments.
json node_channels(com::IvxPrjNode& node) {
  json channels = json::array();
  std::int32_t count = 0;
  if (!com::SUCCEEDED(node.GetChannelCount(0, &count)))
    return channels;
  for (std::int32_t pos = 0; pos < count; ++pos) {
    std::int32_t index = -1;
    std::u16string name, code, comment;
    if (!com::SUCCEEDED(node.GetChannelAt(0, pos, &index)) || !com::SUCCEEDED(node.GetChannelName(0, index, &name)))
      continue;
    node.GetChannelComment(0, index, &comment);
    if (com::SUCCEEDED(node.GetChannelCoding(0, index, 0, &code)) && code == comment)
      code.clear();  // the coding falls back to the comment when the channel has no code
    channels.push_back({{"index", index}, {"name", utf8_of(name)}, {"code", utf8_of(code)}, {"comment", utf8_of(comment)}});
  }
  return channels;
}

// The objects the node names among numbers 1 to the bound, each with its channel indexes.
json node_objects(com::IvxPrjNode& node) {
  json objects = json::array();
  std::u16string name;
  for (std::int32_t object = 1; object <= channel_tree_max_object; ++object) {
    if (!com::SUCCEEDED(node.GetObjectName(object, &name)))
      continue;
    json channels = json::array();
    std::int32_t count = 0, index = -1;
    if (com::SUCCEEDED(node.GetChannelCount(object, &count)))
      for (std::int32_t pos = 0; pos < count; ++pos)
        if (com::SUCCEEDED(node.GetChannelAt(object, pos, &index)))
          channels.push_back(index);
    objects.push_back({{"index", object}, {"name", utf8_of(name)}, {"channels", channels}});
  }
  return objects;
}

json attributes(com::IvxProject& project) {
  json list = json::array();
  rc_ptr<com::IUnknown> sub;
  rc_ptr<com::IvxAttrTable> table;
  if (!com::SUCCEEDED(project.GetSubObject(com::project_attr_table_kind, sub.put())) ||
      !com::query(sub.get(), com::IID_IvxAttrTable, table))
    return list;
  std::u16string name;
  for (int code = 1; code <= channel_tree_max_attribute; ++code)
    if (com::SUCCEEDED(table->GetAttrName(code, &name)) && !name.empty())
      list.push_back({{"code", code}, {"name", utf8_of(name)}});
  return list;
}

}  // namespace

json channel_tree(const std::string& project_path) {
  com::register_project_component();
  kov_project_holder holder;
  if (project_path.empty() || !holder.create() || !holder.load(project_path) || !holder.loaded())
    return {{"loaded", false}};
  com::IvxProject& project = *holder.project();
  json nodes = json::array();
  std::int32_t count = 0;
  project.GetNodeCount(&count);
  for (std::int32_t n = 0; n < count; ++n) {
    rc_ptr<com::IUnknown> object;
    rc_ptr<com::IvxPrjNode> node;
    std::u16string name;
    if (!com::SUCCEEDED(project.GetNodeObject(n, object.put())) || !com::query(object.get(), com::IID_IvxPrjNode, node))
      continue;
    node->GetName(&name);
    nodes.push_back({{"index", n}, {"name", utf8_of(name)}, {"channels", node_channels(*node)}, {"objects", node_objects(*node)}});
  }
  return {{"loaded", true}, {"attributes", attributes(project)}, {"nodes", nodes}};
}

}  // namespace quillet::editor
