// The project component: opens a project file and answers for its nodes and its attribute
// table. Node and attribute objects share the loaded contents, so they stay valid after the
// project is closed or another one is opened.
#include <algorithm>
#include <atomic>
#include <memory>

#include "platform/com/registry.h"
#include "platform/com/wide_text.h"
#include "platform/project/project_file.h"
#include "platform/project/project_interfaces.h"

namespace quillet::com {

namespace {

using shared_project = std::shared_ptr<const project_data>;

// COM-style counting for the component's objects: one reference at creation.
template <class Base>
class counted : public Base {
public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG n = --refs_;
    if (n == 0)
      delete this;
    return n;
  }
  virtual ~counted() = default;

protected:
  // Answers IUnknown and `own` with this object.
  HRESULT answer(const IID& iid, const IID& own, void** out) {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != own)
      return E_NOINTERFACE;
    *out = static_cast<Base*>(this);
    AddRef();
    return S_OK;
  }

private:
  std::atomic<ULONG> refs_{1};
};

HRESULT give_text(const std::u16string& text, std::u16string* out) {
  if (!out)
    return E_POINTER;
  *out = text;
  return S_OK;
}

HRESULT give_number(std::int32_t n, std::int32_t* out) {
  if (!out)
    return E_POINTER;
  *out = n;
  return S_OK;
}

HRESULT no_number(std::int32_t* out) {
  if (out)
    *out = -1;
  return E_INVALIDARG;
}

HRESULT no_text(std::u16string* out) {
  if (out)
    out->clear();
  return E_INVALIDARG;
}

class attr_table final : public counted<IvxAttrTable> {
public:
  explicit attr_table(shared_project p) : project_(std::move(p)) {}
  HRESULT QueryInterface(const IID& iid, void** out) override { return answer(iid, IID_IvxAttrTable, out); }

  HRESULT GetAttrName(std::int32_t code, std::u16string* text) override {
    for (const auto& a : project_->attributes)
      if (a.code == code)
        return give_text(a.name, text);
    return no_text(text);
  }

  HRESULT GetAttrCode(const std::u16string& name, std::int32_t* code) override {
    for (const auto& a : project_->attributes)
      if (a.name == name)
        return give_number(a.code, code);
    return no_number(code);
  }

private:
  shared_project project_;
};

class prj_node final : public counted<IvxPrjNode> {
public:
  prj_node(shared_project p, std::size_t index) : project_(std::move(p)), node_(project_->nodes[index]) {}
  HRESULT QueryInterface(const IID& iid, void** out) override { return answer(iid, IID_IvxPrjNode, out); }

  HRESULT GetName(std::u16string* text) override { return give_text(node_.name, text); }

  // Object 0 is the node's root object and carries the node's name.
  HRESULT GetObjectName(std::int32_t object, std::u16string* text) override {
    if (object == 0)
      return give_text(node_.name, text);
    const project_object* obj = node_.find_object(object);
    return obj ? give_text(obj->name, text) : no_text(text);
  }

  HRESULT GetChannelCount(std::int32_t object, std::int32_t* count) override {
    if (object == 0)
      return give_number(static_cast<std::int32_t>(node_.channels.size()), count);
    const project_object* obj = node_.find_object(object);
    return obj ? give_number(static_cast<std::int32_t>(obj->channels.size()), count) : no_number(count);
  }

  HRESULT GetChannelAt(std::int32_t object, std::int32_t pos, std::int32_t* channel) override {
    if (pos < 0)
      return no_number(channel);
    const auto at = static_cast<std::size_t>(pos);
    if (object == 0)
      return at < node_.channels.size() ? give_number(node_.channels[at].number, channel) : no_number(channel);
    const project_object* obj = node_.find_object(object);
    if (!obj || at >= obj->channels.size())
      return no_number(channel);
    return give_number(obj->channels[at], channel);
  }

  HRESULT GetChannelName(std::int32_t object, std::int32_t channel, std::u16string* text) override {
    const project_channel* ch = member(object, channel);
    return ch ? give_text(ch->name, text) : no_text(text);
  }

  HRESULT GetChannelInfo(std::int32_t object, std::int32_t channel, std::int32_t* info) override {
    const project_channel* ch = member(object, channel);
    return ch ? give_number(ch->kind, info) : no_number(info);
  }

  HRESULT GetChannelAttrObject(std::int32_t object, std::int32_t channel, std::int32_t, IUnknown** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    if (!member(object, channel))
      return E_INVALIDARG;
    *out = new attr_table(project_);
    return S_OK;
  }

  HRESULT GetObjectNumber(const std::u16string& name, std::int32_t* object) override {
    for (const auto& obj : node_.objects)
      if (obj.name == name)
        return give_number(obj.number, object);
    return no_number(object);
  }

  HRESULT GetChannelNumber(const std::u16string& name, std::int32_t object, std::int32_t* channel) override {
    for (const auto& ch : node_.channels)
      if (ch.name == name && member(object, ch.number))
        return give_number(ch.number, channel);
    return no_number(channel);
  }

  HRESULT GetChannelCoding(std::int32_t object, std::int32_t channel, std::int32_t, std::u16string* text) override {
    const project_channel* ch = member(object, channel);
    if (!ch)
      return no_text(text);
    return give_text(ch->code.empty() ? ch->comment : ch->code, text);
  }

  HRESULT GetUnitName(std::int32_t object, std::int32_t channel, std::u16string* text) override {
    const project_channel* ch = member(object, channel);
    return ch ? give_text(ch->unit, text) : no_text(text);
  }

  HRESULT GetChannelComment(std::int32_t object, std::int32_t channel, std::u16string* text) override {
    const project_channel* ch = member(object, channel);
    return ch ? give_text(ch->comment, text) : no_text(text);
  }

private:
  // The channel when it exists and belongs to the object (object 0 holds every channel).
  const project_channel* member(std::int32_t object, std::int32_t channel) const {
    const project_channel* ch = node_.find_channel(channel);
    if (!ch || object == 0)
      return ch;
    const project_object* obj = node_.find_object(object);
    if (!obj || !std::binary_search(obj->channels.begin(), obj->channels.end(), channel))
      return nullptr;
    return ch;
  }

  shared_project project_;
  const project_node_data& node_;
};

class project_component final : public counted<IvxProject> {
public:
  HRESULT QueryInterface(const IID& iid, void** out) override { return answer(iid, IID_IvxProject, out); }

  HRESULT Close() override {
    project_.reset();
    return S_OK;
  }

  // Reads the whole file first, so a failed open leaves no project rather than half of one.
  HRESULT Open(const std::u16string& path) override {
    project_.reset();
    auto data = std::make_shared<project_data>();
    std::string message;
    if (!load_project_file(wide_to_utf8(path), *data, message)) {
      utf8_to_wide(message, error_);
      return E_FAIL;
    }
    error_.clear();
    project_ = std::move(data);
    return S_OK;
  }

  // There is no file chooser here: the caller always sees a cancelled choice.
  HRESULT Browse(const std::u16string&, std::u16string* path) override {
    if (path)
      path->clear();
    return S_FALSE;
  }

  HRESULT GetNodeCount(std::int32_t* count) override {
    return give_number(project_ ? static_cast<std::int32_t>(project_->nodes.size()) : 0, count);
  }

  HRESULT GetNodeNumber(const std::u16string& name, std::int32_t* number) override {
    if (!project_)
      return no_number(number);
    for (std::size_t i = 0; i < project_->nodes.size(); ++i)
      if (project_->nodes[i].name == name)
        return give_number(static_cast<std::int32_t>(i), number);
    return no_number(number);
  }

  HRESULT GetNodeText(std::int32_t node, std::u16string* text) override {
    const project_node_data* n = find(node);
    return n ? give_text(n->name, text) : no_text(text);
  }

  HRESULT GetNodeObject(std::int32_t node, IUnknown** object) override {
    if (!object)
      return E_POINTER;
    *object = nullptr;
    if (!find(node))
      return E_INVALIDARG;
    *object = new prj_node(project_, static_cast<std::size_t>(node));
    return S_OK;
  }

  HRESULT GetSubObject(std::int32_t kind, IUnknown** object) override {
    if (!object)
      return E_POINTER;
    *object = nullptr;
    if (!project_ || kind != project_attr_table_kind)
      return E_INVALIDARG;
    *object = new attr_table(project_);
    return S_OK;
  }

  HRESULT GetHostName(std::int32_t node, std::u16string* text) override {
    const project_node_data* n = find(node);
    return n ? give_text(n->host, text) : no_text(text);
  }

  HRESULT GetLastError(std::u16string* text) override { return give_text(error_, text); }

private:
  const project_node_data* find(std::int32_t node) const {
    if (!project_ || node < 0 || static_cast<std::size_t>(node) >= project_->nodes.size())
      return nullptr;
    return &project_->nodes[static_cast<std::size_t>(node)];
  }

  shared_project project_;
  std::u16string error_;
};

IUnknown* make_project_component() { return new project_component(); }

}  // namespace

void register_project_component() { register_component(CLSID_VxProject, make_project_component); }

}  // namespace quillet::com
