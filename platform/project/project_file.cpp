// Reading project files: JSON syntax through nlohmann-json, then the project's own rules
// checked field by field, each failure naming the place in the file.
#include "platform/project/project_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "platform/com/wide_text.h"
#include "platform/files/input_file.h"

namespace quillet::com {

namespace {

using json = nlohmann::json;

// A rule check in progress: the first failure is kept with its place.
struct reader {
  std::string message;

  bool fail(const std::string& place, const std::string& what) {
    message = place + ": " + what;
    return false;
  }

  // An integer member within [lo, hi]; `fallback` when absent and not required.
  bool integer(const json& obj, const char* key, const std::string& place, std::int64_t lo, std::int64_t hi,
               bool required, std::int32_t fallback, std::int32_t& out) {
    const auto it = obj.find(key);
    out = fallback;
    if (it == obj.end())
      return required ? fail(place, std::string("\"") + key + "\" is missing") : true;
    if (!it->is_number_integer())
      return fail(place + "." + key, "must be a whole number");
    const std::int64_t v = it->get<std::int64_t>();
    if (v < lo || v > hi)
      return fail(place + "." + key, "must be " + std::to_string(lo) + " to " + std::to_string(hi));
    out = static_cast<std::int32_t>(v);
    return true;
  }

  // A string member, converted to UTF-16; empty when absent and not required.
  bool text(const json& obj, const char* key, const std::string& place, bool required, std::u16string& out) {
    const auto it = obj.find(key);
    out.clear();
    if (it == obj.end())
      return required ? fail(place, std::string("\"") + key + "\" is missing") : true;
    if (!it->is_string())
      return fail(place + "." + key, "must be a string");
    if (!utf8_to_wide(it->get_ref<const std::string&>(), out))
      return fail(place + "." + key, "is not valid UTF-8");
    return true;
  }

  // An array member; an empty array when absent and not required.
  const json* array(const json& obj, const char* key, const std::string& place, bool required) {
    static const json empty = json::array();
    const auto it = obj.find(key);
    if (it == obj.end()) {
      if (required)
        fail(place, std::string("\"") + key + "\" is missing");
      return required ? nullptr : &empty;
    }
    if (!it->is_array()) {
      fail(place + "." + key, "must be an array");
      return nullptr;
    }
    return &*it;
  }

  bool read_channel(const json& j, const std::string& place, project_channel& ch) {
    if (!j.is_object())
      return fail(place, "must be an object");
    return integer(j, "number", place, 0, 32766, true, 0, ch.number) && text(j, "name", place, true, ch.name) &&
           text(j, "code", place, false, ch.code) && text(j, "comment", place, false, ch.comment) &&
           text(j, "unit", place, false, ch.unit) && integer(j, "kind", place, 0, 255, false, 0, ch.kind);
  }

  // The node's channels, sorted by number, refusing a number used twice.
  bool read_channels(const json& node, const std::string& place, project_node_data& out) {
    const json* list = array(node, "channels", place, false);
    if (!list)
      return false;
    std::set<std::int32_t> seen;
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string at = place + ".channels[" + std::to_string(i) + "]";
      project_channel ch;
      if (!read_channel((*list)[i], at, ch))
        return false;
      if (!seen.insert(ch.number).second)
        return fail(at + ".number", "channel " + std::to_string(ch.number) + " is listed twice");
      out.channels.push_back(std::move(ch));
    }
    std::sort(out.channels.begin(), out.channels.end(),
              [](const project_channel& a, const project_channel& b) { return a.number < b.number; });
    return true;
  }

  bool read_object(const json& j, const std::string& place, const project_node_data& node, project_object& obj) {
    if (!j.is_object())
      return fail(place, "must be an object");
    if (!integer(j, "number", place, 1, 32767, true, 0, obj.number) || !text(j, "name", place, true, obj.name))
      return false;
    const json* list = array(j, "channels", place, false);
    if (!list)
      return false;
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string at = place + ".channels[" + std::to_string(i) + "]";
      const json& c = (*list)[i];
      if (!c.is_number_integer() || c.get<std::int64_t>() < 0 || c.get<std::int64_t>() > 32766 ||
          !node.find_channel(static_cast<std::int32_t>(c.get<std::int64_t>())))
        return fail(at, "is not a channel number of this node");
      obj.channels.push_back(static_cast<std::int32_t>(c.get<std::int64_t>()));
    }
    std::sort(obj.channels.begin(), obj.channels.end());
    obj.channels.erase(std::unique(obj.channels.begin(), obj.channels.end()), obj.channels.end());
    return true;
  }

  bool read_objects(const json& node, const std::string& place, project_node_data& out) {
    const json* list = array(node, "objects", place, false);
    if (!list)
      return false;
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string at = place + ".objects[" + std::to_string(i) + "]";
      project_object obj;
      if (!read_object((*list)[i], at, out, obj))
        return false;
      if (out.find_object(obj.number))
        return fail(at + ".number", "object " + std::to_string(obj.number) + " is listed twice");
      out.objects.push_back(std::move(obj));
    }
    return true;
  }

  bool read_node(const json& j, const std::string& place, project_node_data& node) {
    if (!j.is_object())
      return fail(place, "must be an object");
    return text(j, "name", place, true, node.name) && text(j, "host", place, false, node.host) &&
           read_channels(j, place, node) && read_objects(j, place, node);
  }

  bool read_attributes(const json& root, project_data& out) {
    const json* list = array(root, "attributes", "the project", false);
    if (!list)
      return false;
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string at = "attributes[" + std::to_string(i) + "]";
      const json& j = (*list)[i];
      project_attribute attr;
      if (!j.is_object())
        return fail(at, "must be an object");
      if (!integer(j, "code", at, 1, 255, true, 0, attr.code) || !text(j, "name", at, true, attr.name))
        return false;
      out.attributes.push_back(std::move(attr));
    }
    return true;
  }

  bool read_project(const json& root, project_data& out) {
    if (!root.is_object())
      return fail("the project", "must be a JSON object");
    if (!read_attributes(root, out))
      return false;
    const json* nodes = array(root, "nodes", "the project", true);
    if (!nodes)
      return false;
    out.nodes.resize(nodes->size());
    for (std::size_t i = 0; i < nodes->size(); ++i)
      if (!read_node((*nodes)[i], "nodes[" + std::to_string(i) + "]", out.nodes[i]))
        return false;
    return unique_node_names(out.nodes);
  }

  // Nodes are found by name, so a second node of the same name could never be reached.
  bool unique_node_names(const std::vector<project_node_data>& nodes) {
    std::map<std::u16string, std::size_t> first;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      auto [at, added] = first.emplace(nodes[i].name, i);
      if (!added)
        return fail("nodes[" + std::to_string(i) + "].name",
                    "repeats the name of nodes[" + std::to_string(at->second) + "]");
    }
    return true;
  }
};

// The syntax reader's tree builder, told to report errors instead of throwing them: it keeps
// where the first error was and whether it was a number too large for a double.
struct located_dom_parser : nlohmann::detail::json_sax_dom_parser<json> {
  explicit located_dom_parser(json& root) : json_sax_dom_parser(root, false) {}
  template <class Exception>
  bool parse_error(std::size_t position, const std::string& token, const Exception& e) {
    number_out_of_range = e.id == 406;
    // A number is reported after it was read: its place is where it starts.
    error_byte = number_out_of_range && token.size() < position ? position - token.size() + 1 : position;
    return false;
  }
  std::size_t error_byte = 0;
  bool number_out_of_range = false;
};

// Line and column (from 1) of a byte offset, for syntax errors.
std::string place_of(const std::string& text, std::size_t offset) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
      continue;
    }
    ++column;
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

const project_channel* project_node_data::find_channel(std::int32_t number) const {
  const auto it = std::lower_bound(channels.begin(), channels.end(), number,
                                   [](const project_channel& c, std::int32_t n) { return c.number < n; });
  return it != channels.end() && it->number == number ? &*it : nullptr;
}

const project_object* project_node_data::find_object(std::int32_t number) const {
  for (const auto& obj : objects)
    if (obj.number == number)
      return &obj;
  return nullptr;
}

// The syntax is checked first, so a rule message always refers to well-formed JSON; the
// parser's own exception stays inside this function.
bool parse_project_text(const std::string& text, project_data& out, std::string& message) {
  out = project_data{};
  message.clear();
  json root;
  located_dom_parser builder(root);
  if (!json::sax_parse(text, &builder) || root.is_discarded()) {
    std::size_t at = builder.error_byte > 0 ? builder.error_byte - 1 : 0;
    message = place_of(text, at) + (builder.number_out_of_range ? ": a number too large" : ": not valid JSON");
    return false;
  }
  reader r;
  try {
    if (r.read_project(root, out))
      return true;
  } catch (const json::exception& e) {
    r.message = std::string("not a project: ") + e.what();
  }
  out = project_data{};
  message = r.message;
  return false;
}

bool load_project_file(const std::string& path, project_data& out, std::string& message) {
  out = project_data{};
  std::string text, error;
  if (!files::read_regular_file(path, project_file_max_bytes, text, error)) {
    message = path + ": cannot be read: " + error;
    return false;
  }
  if (parse_project_text(text, out, message))
    return true;
  message = path + ": " + message;
  return false;
}

}  // namespace quillet::com
