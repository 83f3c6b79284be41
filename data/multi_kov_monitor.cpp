// The bridge as a live-value monitor: calls that name a channel go to the monitor of the
// node that owns it, in the node's own channel number; the rest are refused.
#include "data/multi_kov_archive.h"

namespace quillet {

com::HRESULT multi_kov_archive::kov_method3() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method4() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method5() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method6() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method7() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method8() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method9() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method13() { return com::E_FAIL; }
com::HRESULT multi_kov_archive::kov_method14() { return com::E_FAIL; }

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

com::HRESULT multi_kov_archive::kov_method10(std::int32_t a, std::uint16_t channel, std::int32_t b, std::int32_t c) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->kov_method10(a, local, b, c);
}

com::HRESULT multi_kov_archive::kov_method11(std::uint16_t channel, std::int32_t a, std::int32_t b) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->kov_method11(local, a, b);
}

com::HRESULT multi_kov_archive::kov_method12(std::uint16_t channel, std::int32_t a, std::int32_t b) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->kov_method12(local, a, b);
}

com::HRESULT multi_kov_archive::kov_method16(std::uint16_t channel, std::int32_t a) {
  IvxKOV* monitor = nullptr;
  std::uint16_t local = 0;
  const com::HRESULT hr = node_monitor(channel, monitor, local);
  return com::FAILED(hr) ? hr : monitor->kov_method16(local, a);
}

// The archive the monitor reads is the bridge itself.
com::HRESULT multi_kov_archive::archive(INvRegArchive** out) {
  if (!out)
    return com::E_POINTER;
  *out = archive_interface();
  AddRef();
  return com::S_OK;
}

com::HRESULT multi_kov_archive::kov_method17(std::int16_t* out) {
  if (!out)
    return com::E_POINTER;
  *out = 1;
  return com::S_OK;
}

}  // namespace quillet
