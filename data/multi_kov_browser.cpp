// The bridge as a channel browser: one group named "virtual" holding every bridge channel;
// questions about a channel go to the browser of the node that owns it, in its own number.
#include <cstring>

#include "data/multi_kov_archive.h"

namespace quillet {

namespace {

constexpr char16_t virtual_group_name[] = u"virtual";

// Records handed out are zeroed before they are filled.
template <class T>
T* allocate_records(std::int32_t count) {
  const std::size_t size = sizeof(T) * static_cast<std::size_t>(count);
  void* p = com::CoTaskMemAlloc(size);
  if (p)
    std::memset(p, 0, size);
  return static_cast<T*>(p);
}

}  // namespace

com::HRESULT multi_kov_archive::node_browser(std::uint16_t bridge, IvxChBrowser*& browser,
                                             std::uint16_t& local) const {
  const channel_entry* entry = find_channel(bridge);
  if (!entry)
    return com::E_INVALIDARG;
  browser = nodes_[static_cast<std::size_t>(entry->node)]->browser.get();
  if (!browser)
    return com::E_POINTER;
  local = static_cast<std::uint16_t>(entry->channel);
  return com::S_OK;
}

com::HRESULT multi_kov_archive::group_count(std::int32_t* count) {
  if (!count)
    return com::E_POINTER;
  *count = 1;
  return com::S_OK;
}

com::HRESULT multi_kov_archive::get_groups(std::int32_t count, vx_group_record* groups) {
  if (count != 1)
    return com::E_INVALIDARG;
  if (!groups)
    return com::E_POINTER;
  groups->group = 0;
  return fill_group(groups);
}

com::HRESULT multi_kov_archive::channel_count(std::int16_t group, std::int32_t* count) {
  if (group != 0)
    return com::E_INVALIDARG;
  if (!count)
    return com::E_POINTER;
  *count = channel_count();
  return com::S_OK;
}

// Record i describes bridge channel i as its node's browser fills it; a node that cannot
// describe its channel leaves the record with just the number.
com::HRESULT multi_kov_archive::get_channels(std::int16_t group, std::int32_t count, vx_channel_record* records) {
  if (group != 0 || count < 0 || count > channel_count())
    return com::E_INVALIDARG;
  if (count > 0 && !records)
    return com::E_POINTER;
  for (std::int32_t i = 0; i < count; ++i) {
    records[i].set_channel(static_cast<std::uint16_t>(i));
    fill_channel(&records[i]);
  }
  return com::S_OK;
}

com::HRESULT multi_kov_archive::all_groups(std::int32_t* count, vx_group_record** groups) {
  if (!count || !groups)
    return com::E_POINTER;
  *count = 0;
  *groups = allocate_records<vx_group_record>(1);
  if (!*groups)
    return com::E_FAIL;
  *count = 1;
  return get_groups(1, *groups);
}

com::HRESULT multi_kov_archive::group_channels(const vx_group_record* group, std::int32_t* count,
                                               vx_channel_record** records) {
  if (!group || !count || !records)
    return com::E_POINTER;
  if (group->group != 0)
    return com::E_INVALIDARG;
  *count = 0;
  *records = allocate_records<vx_channel_record>(channel_count());
  if (!*records)
    return com::E_FAIL;
  *count = channel_count();
  return get_channels(0, *count, *records);
}

// The node's browser sees a record that carries nothing but its own channel number.
com::HRESULT multi_kov_archive::query_channel(std::int32_t selector, const vx_channel_record* record,
                                              std::int32_t* value, std::int32_t option) {
  if (!record || !value)
    return com::E_POINTER;
  *value = 0;
  IvxChBrowser* browser = nullptr;
  std::uint16_t channel = 0;
  const com::HRESULT hr = node_browser(record->channel(), browser, channel);
  if (com::FAILED(hr))
    return hr;
  vx_channel_record local;
  local.set_channel(channel);
  return browser->query_channel(selector, &local, value, option);
}

com::HRESULT multi_kov_archive::query_browser(std::int32_t selector, std::int32_t argument, std::int32_t* value,
                                              std::int32_t option) {
  if (!value)
    return com::E_POINTER;
  *value = 0;
  if (!first_browser_)
    return com::E_FAIL;
  return first_browser_->query_browser(selector, argument, value, option);
}

com::HRESULT multi_kov_archive::fill_group(vx_group_record* group) {
  if (!group)
    return com::E_POINTER;
  group->name[0] = 0;
  if (group->group != 0)
    return com::E_INVALIDARG;
  std::memcpy(group->name, virtual_group_name, sizeof virtual_group_name);
  return com::S_OK;
}

// The node's browser fills the record under the node's channel number; the record leaves
// with the bridge number it came with.
com::HRESULT multi_kov_archive::fill_channel(vx_channel_record* record) {
  if (!record)
    return com::E_POINTER;
  std::memset(record->bytes, 0, 2);
  std::memset(record->bytes + 30, 0, 2);
  const std::uint16_t bridge = record->channel();
  IvxChBrowser* browser = nullptr;
  std::uint16_t local = 0;
  com::HRESULT hr = node_browser(bridge, browser, local);
  if (com::FAILED(hr))
    return hr;
  record->set_channel(local);
  hr = browser->fill_channel(record);
  record->set_channel(bridge);
  return hr;
}

com::HRESULT multi_kov_archive::browser_word(std::int16_t* word) {
  if (!word)
    return com::E_POINTER;
  *word = 0;
  if (!first_browser_)
    return com::E_FAIL;
  return first_browser_->browser_word(word);
}

com::HRESULT multi_kov_archive::channel_word_of(std::uint16_t channel, std::int32_t selector, std::int16_t* word) {
  if (!word)
    return com::E_POINTER;
  *word = 0;
  IvxChBrowser* browser = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_browser(channel, browser, local);
  return com::FAILED(hr) ? hr : browser->channel_word_of(local, selector, word);
}

com::HRESULT multi_kov_archive::channel_word(std::uint16_t channel, std::int16_t* word) {
  if (!word)
    return com::E_POINTER;
  *word = 0;
  IvxChBrowser* browser = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_browser(channel, browser, local);
  return com::FAILED(hr) ? hr : browser->channel_word(local, word);
}

}  // namespace quillet
