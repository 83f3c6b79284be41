// Resolution of channel names and numbers through the project component, and the names of
// channel identities read back from it. Texts cross the component as UTF-16 and are the
// ANSI code page here.
#include "data/kov_project_map.h"

#include "platform/com/wide_text.h"

namespace quillet {

namespace {

using com::IvxAttrTable;
using com::IvxPrjNode;
using com::SUCCEEDED;

// The number a value names when it is not a string: its integer form, or -1 without one.
int number_of(const anyval& value) {
  std::int32_t n = -1;
  if (!value.to_int(n))
    return -1;
  return n;
}

std::u16string wide_of(const std::string& text) { return com::ansi_to_wide(text); }

// Hands over a text the component answered, or empties the output when it failed.
bool take_text(com::HRESULT hr, const std::u16string& wide, std::string& out) {
  out.clear();
  if (!SUCCEEDED(hr))
    return false;
  out = com::wide_to_ansi(wide);
  return true;
}

}  // namespace

// Releases everything held first, so a second attach never mixes two projects.
void kov_project_map::attach(com::IvxProject* project) {
  nodes_.clear();
  attributes_.reset();
  project_.reset();
  if (!project)
    return;
  project_ = rc_ptr<com::IvxProject>(project);
  rc_ptr<com::IUnknown> sub;
  if (SUCCEEDED(project->GetSubObject(com::project_attr_table_kind, sub.put())))
    com::query(sub.get(), com::IID_IvxAttrTable, attributes_);
  std::int32_t count = 0;
  if (!SUCCEEDED(project->GetNodeCount(&count)) || count < 0)
    count = 0;
  nodes_.resize(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    rc_ptr<com::IUnknown> object;
    if (SUCCEEDED(project->GetNodeObject(i, object.put())))
      com::query(object.get(), com::IID_IvxPrjNode, nodes_[static_cast<std::size_t>(i)]);
  }
}

IvxPrjNode* kov_project_map::slot(int node) const {
  if (node < 0 || static_cast<std::size_t>(node) >= nodes_.size())
    return nullptr;
  return nodes_[static_cast<std::size_t>(node)].get();
}

// A string names the node; any other value gives its number. The number counts only when
// its slot holds a node.
int kov_project_map::find_node(const anyval& value) const {
  if (value.empty() || !project_)
    return -1;
  int number = -1;
  if (const std::string* name = value.as_string()) {
    std::int32_t found = -1;
    if (!SUCCEEDED(project_->GetNodeNumber(wide_of(*name), &found)))
      return -1;
    number = found;
  } else {
    number = number_of(value);
  }
  return slot(number) ? number : -1;
}

int kov_project_map::find_object(int node, const anyval& value) const {
  IvxPrjNode* n = slot(node);
  if (!n || value.empty())
    return -1;
  const std::string* name = value.as_string();
  if (!name) {
    // Object numbers are 16-bit in a channel identity: a larger one names no object.
    const int number = number_of(value);
    return number < 0 || number > 32767 ? -1 : number;
  }
  std::int32_t found = -1;
  if (!SUCCEEDED(n->GetObjectNumber(wide_of(*name), &found)) || found < 0)
    return -1;
  return found;
}

// The attribute code a value names: 0 when left out, a string through the attribute table
// (failing without one), otherwise its integer form; -1 on failure.
static int attribute_code(const anyval& value, IvxAttrTable* table) {
  if (value.empty())
    return 0;
  const std::string* name = value.as_string();
  if (!name)
    return number_of(value);
  std::int32_t code = -1;
  if (!table || !SUCCEEDED(table->GetAttrCode(com::ansi_to_wide(*name), &code)))
    return -1;
  return code;
}

// The object left out is object 0. The channel must exist in the object: its information
// call is what confirms it and gives the kind.
bool kov_project_map::find_channel(int node, const anyval& object, const anyval& channel, const anyval& attribute,
                                   kov_chan_ident& ident) const {
  IvxPrjNode* n = slot(node);
  if (!n || channel.empty())
    return false;
  const int obj = object.empty() ? 0 : find_object(node, object);
  if (obj < 0)
    return false;
  std::int32_t number = -1;
  if (const std::string* name = channel.as_string()) {
    if (!SUCCEEDED(n->GetChannelNumber(wide_of(*name), obj, &number)))
      return false;
  } else {
    number = number_of(channel);
  }
  std::int32_t info = 0;
  if (number < 0 || !SUCCEEDED(n->GetChannelInfo(obj, number, &info)))
    return false;
  const int code = attribute_code(attribute, attributes_.get());
  if (code < 0)
    return false;
  ident.node = static_cast<std::int16_t>(node);
  ident.object = static_cast<std::int16_t>(obj);
  ident.channel = static_cast<std::int16_t>(number);
  ident.attribute = static_cast<std::uint8_t>(code);
  ident.kind = static_cast<std::uint8_t>(info);
  return true;
}

bool kov_project_map::channel_name(const kov_chan_ident& ident, std::string& out) const {
  out.clear();
  IvxPrjNode* n = slot(ident.node);
  std::u16string text;
  return n && take_text(n->GetChannelName(ident.object, ident.channel, &text), text, out);
}

bool kov_project_map::node_name(const kov_chan_ident& ident, std::string& out) const {
  out.clear();
  IvxPrjNode* n = slot(ident.node);
  std::u16string text;
  return n && take_text(n->GetName(&text), text, out);
}

bool kov_project_map::object_name(const kov_chan_ident& ident, std::string& out) const {
  out.clear();
  IvxPrjNode* n = slot(ident.node);
  std::u16string text;
  return n && take_text(n->GetObjectName(ident.object, &text), text, out);
}

// The channel's own attribute object answers for the name of the identity's code.
bool kov_project_map::attribute_name(const kov_chan_ident& ident, std::string& out) const {
  out.clear();
  IvxPrjNode* n = slot(ident.node);
  if (!n)
    return false;
  rc_ptr<com::IUnknown> object;
  if (!SUCCEEDED(n->GetChannelAttrObject(ident.object, ident.channel, 0, object.put())))
    return false;
  rc_ptr<IvxAttrTable> table;
  if (!com::query(object.get(), com::IID_IvxAttrTable, table))
    return false;
  std::u16string text;
  return take_text(table->GetAttrName(ident.attribute, &text), text, out);
}

bool kov_project_map::channel_coding(const kov_chan_ident& ident, std::string& out) const {
  out.clear();
  IvxPrjNode* n = slot(ident.node);
  std::u16string text;
  return n && take_text(n->GetChannelCoding(ident.object, ident.channel, ident.attribute, &text), text, out);
}

bool kov_project_map::unit_name(const kov_chan_ident& ident, std::string& out) const {
  out.clear();
  IvxPrjNode* n = slot(ident.node);
  std::u16string text;
  return n && take_text(n->GetUnitName(ident.object, ident.channel, &text), text, out);
}

kov_project_node* kov_project_map::node_object(int node) const { return slot(node); }

bool kov_project_map::host_name(int node, std::string& out) const {
  out.clear();
  if (!slot(node))
    return false;
  std::u16string text;
  return take_text(project_->GetHostName(node, &text), text, out);
}

}  // namespace quillet
