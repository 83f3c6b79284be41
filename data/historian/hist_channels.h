// The project's channels as an import names them: by channel name, by code, or qualified
// as NODE:NAME. A name held by several nodes means the first node's channel, as CHAN does.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/historian/hist_store.h"
#include "data/kov_channel_map.h"

namespace quillet {

class hist_channels {
public:
  // Reads every channel of every node of the map.
  explicit hist_channels(const kov_channel_map& map);

  // The channel a text names; false when none does.
  bool find(std::string_view text, hist_key& key) const;
  // The node a text names (name or number); false when none does.
  bool find_node(std::string_view text, int& node) const;

  // Every channel, in node and channel order, with its name and kind.
  struct entry {
    hist_key key;
    std::string node_name;
    std::string name;
    int kind = 0;
  };
  const std::vector<entry>& all() const { return all_; }

private:
  std::unordered_map<std::string, hist_key> names_, codes_, qualified_;
  std::vector<std::string> node_names_;
  std::vector<entry> all_;
};

}  // namespace quillet
