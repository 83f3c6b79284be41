// The general data source: node table, name resolution through the channel map, and the
// forwarding of every data request to the node that owns the reference.
#include "data/kov_runtime_data_source.h"

#include "data/kov_call_support.h"

namespace quillet {

namespace {

const kov_chan_ref* chan_ref_of(const anyval& value) { return kov_value_as<kov_chan_ref>(value); }

// The optional limit time: left out or exactly the number 0 means none; otherwise it must be
// a time.
bool limit_record(const anyval& value, kov_time_record& record) {
  record = kov_time_record{};
  if (value.empty() || kov_to_time_record(value, record))
    return true;
  double x = 1.0;
  return value.to_double(x) && x == 0.0;
}

}  // namespace

kov_runtime_data_source::~kov_runtime_data_source() { clear(); }

rc_ptr<kov_data_node> kov_runtime_data_source::create_node() { return nullptr; }

void kov_runtime_data_source::setup(kov_channel_map* channels, kov_host_map* hosts) {
  clear();
  if (!channels)
    return;
  channels_ = channels;
  hosts_ = hosts;
  for (int i = 0; i < channels->node_count(); ++i) {
    rc_ptr<kov_data_node> node = create_node();
    std::string host;
    const bool named = hosts && hosts->host_name(i, host);
    if (node)
      node->attach(i, channels->node_object(i), named ? host.c_str() : nullptr);
    nodes_.push_back(std::move(node));
  }
}

void kov_runtime_data_source::clear() {
  close_nodes();
  nodes_.clear();
  channels_ = nullptr;
  hosts_ = nullptr;
}

kov_data_node* kov_runtime_data_source::node_at(int node) const {
  if (node < 0 || static_cast<std::size_t>(node) >= nodes_.size())
    return nullptr;
  return nodes_[static_cast<std::size_t>(node)].get();
}

INvRegArchive* kov_runtime_data_source::node_archive(int node) const {
  kov_data_node* n = node_at(node);
  return n ? n->archive() : nullptr;
}

kov_project_node* kov_runtime_data_source::node_object(int node) const {
  return channels_ ? channels_->node_object(node) : nullptr;
}

void kov_runtime_data_source::open_nodes() {
  for (auto& node : nodes_)
    if (node)
      node->begin_pass();
}

void kov_runtime_data_source::close_nodes() {
  for (auto& node : nodes_)
    if (node)
      node->end_pass();
}

int kov_runtime_data_source::node_state(int node) const {
  kov_data_node* n = node_at(node);
  return n ? n->state() : 0;
}

void kov_runtime_data_source::node_name(int node, std::string& out) const {
  out.clear();
  if (kov_data_node* n = node_at(node))
    n->name(out);
}

// With the node left out, the first node in node order that has the channel (in the given
// object, or object 0) is taken.
bool kov_runtime_data_source::resolve_channel(const anyval& name, const anyval& attr, const anyval& node,
                                              const anyval& object, kov_chan_ident& ident) const {
  if (!node.empty()) {
    kov_data_node* n = node_at(channels_->find_node(node));
    if (!n || !n->ensure_ready())
      return false;
    return channels_->find_channel(channels_->find_node(node), object, name, attr, ident);
  }
  for (int i = 0; i < static_cast<int>(nodes_.size()); ++i) {
    kov_data_node* n = node_at(i);
    if (n && channels_->find_channel(i, object, name, attr, ident))
      return n->ensure_ready();
  }
  return false;
}

bool kov_runtime_data_source::make_channel_ref(const anyval& name, const anyval& attr, const anyval& node,
                                               const anyval& object, anyval& result) {
  result.release();
  if (!channels_)
    return false;
  kov_chan_ident ident;
  if (!resolve_channel(name, attr, node, object, ident))
    return false;
  result = kov_make_chan_ref(ident);
  return true;
}

bool kov_runtime_data_source::make_object_ref(const anyval& node, const anyval& object, anyval& result) {
  result.release();
  if (!channels_)
    return false;
  const int number = channels_->find_node(node);
  kov_data_node* n = node_at(number);
  if (!n || !n->ensure_ready())
    return false;
  const int obj = channels_->find_object(number, object);
  if (obj < 0)
    return false;
  kov_chan_ident ident;
  ident.node = static_cast<std::int16_t>(number);
  ident.object = static_cast<std::int16_t>(obj);
  result = kov_make_chan_ref(ident);
  return true;
}

bool kov_runtime_data_source::ask_name(const anyval& ref, name_query query, anyval& result) const {
  result.release();
  const kov_chan_ref* r = chan_ref_of(ref);
  std::string text;
  if (!r || !channels_ || !(channels_->*query)(r->ident, text))
    return false;
  result = anyval::from_string(text);
  return true;
}

bool kov_runtime_data_source::channel_name(const anyval& ref, anyval& result) {
  return ask_name(ref, &kov_channel_map::channel_name, result);
}
bool kov_runtime_data_source::channel_node_name(const anyval& ref, anyval& result) {
  return ask_name(ref, &kov_channel_map::node_name, result);
}
bool kov_runtime_data_source::channel_object_name(const anyval& ref, anyval& result) {
  return ask_name(ref, &kov_channel_map::object_name, result);
}
bool kov_runtime_data_source::channel_attr_name(const anyval& ref, anyval& result) {
  return ask_name(ref, &kov_channel_map::attribute_name, result);
}
bool kov_runtime_data_source::channel_code(const anyval& ref, anyval& result) {
  return ask_name(ref, &kov_channel_map::channel_coding, result);
}
bool kov_runtime_data_source::channel_unit(const anyval& ref, anyval& result) {
  return ask_name(ref, &kov_channel_map::unit_name, result);
}

namespace {

// The references of a channel argument, all of one node: one reference, or a vector whose
// every element is a reference of the first element's node. `node` is that node's number.
bool gather_refs(const anyval& value, std::vector<const kov_chan_ref*>& refs, int& node) {
  refs.clear();
  if (const kov_chan_ref* r = chan_ref_of(value)) {
    refs.push_back(r);
    node = r->ident.node;
    return true;
  }
  const anyval_list* list = value.as_vector();
  if (!list)
    return false;
  refs.reserve(list->size());
  for (const anyval& element : *list) {
    const kov_chan_ref* r = chan_ref_of(element);
    if (!r || (!refs.empty() && r->ident.node != refs.front()->ident.node))
      return false;
    refs.push_back(r);
  }
  node = refs.empty() ? -1 : refs.front()->ident.node;
  return true;
}

}  // namespace

kov_data_node* kov_runtime_data_source::node_for_read(const anyval& ref, std::vector<const kov_chan_ref*>& refs,
                                                      anyval& result, bool& answered) const {
  int number = -1;
  if (!gather_refs(ref, refs, number))
    return nullptr;
  if (refs.empty()) {
    result = anyval::from_vector({});
    answered = true;
    return nullptr;
  }
  return node_at(number);
}

bool kov_runtime_data_source::read_value_at(const anyval& ref, const anyval& time, const anyval& limit,
                                            anyval& result) {
  result.release();
  kov_time_record at, bound;
  if (!kov_to_time_record(time, at) || !limit_record(limit, bound))
    return false;
  std::vector<const kov_chan_ref*> refs;
  bool answered = false;
  kov_data_node* n = node_for_read(ref, refs, result, answered);
  if (answered)
    return true;
  if (!n || !n->values_at(refs, at, bound, result))
    return false;
  const anyval_list* values = result.as_vector();
  if (chan_ref_of(ref) && values && values->size() == 1)
    result = anyval(values->front());
  return true;
}

bool kov_runtime_data_source::read_values(const anyval& ref, const anyval& from, const anyval& to, anyval& result) {
  result.release();
  kov_time_record begin, end;
  if (!kov_to_time_record(from, begin) || !kov_to_time_record(to, end))
    return false;
  std::vector<const kov_chan_ref*> refs;
  bool answered = false;
  kov_data_node* n = node_for_read(ref, refs, result, answered);
  if (answered)
    return true;
  return n && n->values_between(refs, begin, end, result);
}

bool kov_runtime_data_source::current_value(const anyval& ref, anyval& result) {
  result.release();
  const kov_chan_ref* r = chan_ref_of(ref);
  kov_data_node* n = r ? node_at(r->ident.node) : nullptr;
  return n && n->current(*r, result);
}

bool kov_runtime_data_source::statistics(const anyval& ref, const anyval& from, const anyval& to, int by_time,
                                         txl_stat_record& record) {
  record = txl_stat_record{};
  const kov_chan_ref* r = chan_ref_of(ref);
  kov_data_node* n = r ? node_at(r->ident.node) : nullptr;
  kov_time_record begin, end;
  if (!n || !kov_to_time_record(from, begin) || !kov_to_time_record(to, end))
    return false;
  return n->statistics(*r, begin, end, by_time, record);
}

bool kov_runtime_data_source::select_channels(const anyval& node, const anyval& object, const anyval& condition,
                                              anyval& result) {
  result.release();
  std::int32_t code = -1;
  if (!channels_ || !condition.to_int(code) || code < 0 || code > 8)
    return false;
  const int number = channels_->find_node(node);
  kov_data_node* n = node_at(number);
  const int obj = n ? channels_->find_object(number, object) : -1;
  if (obj < 0)
    return false;
  anyval_list selected;
  if (!n->select_channels(obj, code, selected))
    return false;
  result = anyval::from_vector(std::move(selected));
  return true;
}

bool kov_runtime_data_source::events(const anyval& node, const anyval& filter, anyval& result) {
  result.release();
  kov_data_node* n = channels_ ? node_at(channels_->find_node(node)) : nullptr;
  return n && n->events(filter, result);
}

}  // namespace quillet
