// The bridge as a live-value monitor: calls that name a channel go to the monitor of the
// node that owns it, in the node's own channel number; the rest are refused.
#include "data/multi_kov_archive.h"

namespace quillet {

com::HRESULT multi_kov_archive::monitor_reserved3() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved4() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved5() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved6() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved7() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved8() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved9() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved13() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::monitor_reserved14() { return com::E_FAIL; }

// The monitor of the node owning a bridge channel, with the channel's number there; E_FAIL
// for a channel the bridge does not hold and E_POINTER for a node without a monitor.
com::HRESULT multi_kov_archive::node_monitor(std::uint16_t bridge, IvxKOV*& monitor, std::uint16_t& local) const {
  const channel_entry* entry = find_channel(bridge);
  if (!entry)
    return com::E_FAIL;
  monitor = nodes_[static_cast<std::size_t>(entry->node)]->monitor.get();
  if (!monitor)
    return com::E_POINTER;
  local = static_cast<std::uint16_t>(entry->channel);
  return com::S_OK;
}

com::HRESULT multi_kov_archive::channel_request(std::int32_t selector, std::uint16_t channel, std::int32_t argument,
                                                std::int32_t option) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->channel_request(selector, local, argument, option);
}

com::HRESULT multi_kov_archive::channel_command(std::uint16_t channel, std::int32_t argument, std::int32_t option) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->channel_command(local, argument, option);
}

com::HRESULT multi_kov_archive::channel_query(std::uint16_t channel, std::int32_t argument, std::int32_t option) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->channel_query(local, argument, option);
}

com::HRESULT multi_kov_archive::channel_notice(std::uint16_t channel, std::int32_t argument) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->channel_notice(local, argument);
}

// The archive the monitor reads is the bridge itself.
com::HRESULT multi_kov_archive::archive(INvRegArchive** reader) {
  if (!reader)
    return com::E_POINTER;
  *reader = archive_interface();
  AddRef();
  return com::S_OK;
}

com::HRESULT multi_kov_archive::monitor_word(std::int16_t* word) {
  if (!word)
    return com::E_POINTER;
  *word = 1;
  return com::S_OK;
}

}  // namespace quillet
