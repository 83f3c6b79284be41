// Channel lookup for imports, built once from the project.
#include "data/historian/hist_channels.h"

#include <charconv>

#include "platform/project/project_interfaces.h"

namespace quillet {

hist_channels::hist_channels(const kov_channel_map& map) {
  for (int node = 0; node < map.node_count(); ++node) {
    rc_ptr<com::IvxPrjNode> project_node;
    com::query(map.node_object(node), com::IID_IvxPrjNode, project_node);
    std::string node_name;
    kov_chan_ident n;
    n.node = static_cast<std::int16_t>(node);
    map.node_name(n, node_name);
    node_names_.push_back(node_name);
    std::int32_t count = 0;
    if (!project_node || !com::SUCCEEDED(project_node->GetChannelCount(0, &count)))
      continue;
    for (std::int32_t pos = 0; pos < count; ++pos) {
      std::int32_t channel = -1, info = 0;
      if (!com::SUCCEEDED(project_node->GetChannelAt(0, pos, &channel)) || channel < 0)
        continue;
      project_node->GetChannelInfo(0, channel, &info);
      kov_chan_ident ident = n;
      ident.channel = static_cast<std::int16_t>(channel);
      std::string name, code;
      map.channel_name(ident, name);
      map.channel_coding(ident, code);
      const hist_key key{node, channel};
      names_.emplace(name, key);
      if (!code.empty())
        codes_.emplace(code, key);
      qualified_.emplace(node_name + ":" + name, key);
      all_.push_back({key, node_name, name, info & 0xFF});
    }
  }
}

bool hist_channels::find(std::string_view text, hist_key& key) const {
  const std::string s(text);
  for (const auto* table : {&names_, &qualified_, &codes_}) {
    auto it = table->find(s);
    if (it != table->end()) {
      key = it->second;
      return true;
    }
  }
  return false;
}

bool hist_channels::find_node(std::string_view text, int& node) const {
  for (std::size_t i = 0; i < node_names_.size(); ++i)
    if (node_names_[i] == text) {
      node = static_cast<int>(i);
      return true;
    }
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), node);
  return ec == std::errc() && end == text.data() + text.size() && node >= 0 &&
         node < static_cast<int>(node_names_.size());
}

}  // namespace quillet
