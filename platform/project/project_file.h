// The contents of a project file: nodes with their channels and objects, and the attribute
// table. Read once and shared, immutable, by the component's node objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::com {

struct project_channel {
  std::int32_t number = 0;
  std::u16string name, code, comment, unit;
  std::int32_t kind = 0;
};

struct project_object {
  std::int32_t number = 0;
  std::u16string name;
  std::vector<std::int32_t> channels;  // channel numbers, ascending
};

struct project_node_data {
  std::u16string name, host;
  std::vector<project_channel> channels;  // ascending by number; object 0 holds them all
  std::vector<project_object> objects;    // objects 1 and up, in file order

  const project_channel* find_channel(std::int32_t number) const;
  const project_object* find_object(std::int32_t number) const;
};

struct project_attribute {
  std::int32_t code = 0;
  std::u16string name;
};

struct project_data {
  std::vector<project_attribute> attributes;
  std::vector<project_node_data> nodes;
};

// The largest project file read; a longer file is refused rather than loaded.
inline constexpr std::size_t project_file_max_bytes = std::size_t{64} << 20;

// Parses project JSON text. On failure `message` says what is wrong and where ("line 3,
// column 7" for a syntax error, a path such as nodes[0].channels[2].number for a rule).
bool parse_project_text(const std::string& text, project_data& out, std::string& message);

// Reads and parses a file; a failure message begins with the file's path.
bool load_project_file(const std::string& path, project_data& out, std::string& message);

}  // namespace quillet::com
