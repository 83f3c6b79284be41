// Stand-ins for the trend control's tests: an archive serving a fixed list of records (with or
// without telling where to continue, failing on request, logging every call), and a client
// site that records what the control asked of it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "platform/com/nv_reg_archive.h"
#include "platform/com/ole.h"

namespace quillet::trend::testing {

inline arc_record make_record(std::uint32_t time, std::int16_t channel, float value, std::uint16_t millis = 0) {
  arc_record r;
  r.time = time;
  r.millis = millis;
  r.channel = channel;
  r.set_value(value);
  return r;
}

// A record's place in the archive's order.
inline std::tuple<std::uint32_t, int, std::uint16_t, int> key(const arc_record& r) {
  return {r.time, r.millis & 0x3FF, static_cast<std::uint16_t>(r.channel), r.data[5] & 0x3F};
}

// One read as the archive saw it.
struct archive_call {
  arc_record start;
  std::uint32_t end = 0;
  std::vector<std::int16_t> channels;
  std::int32_t max = 0;
};

// Serves `records` (kept in time order by the test) from the first one at or after the start
// position, below next->time, for the asked channels, at most `max`.
class fake_archive final : public INvRegArchive {
public:
  std::vector<arc_record> records;
  std::vector<archive_call> calls;
  bool tells_next = true;    // writes the position after the last record into *next
  int fail_on_call = -1;     // the call (from 0) that fails with E_FAIL
  int status_on_call = -1;   // the call that returns status 3
  int refs = 1;

  com::HRESULT QueryInterface(const com::IID& iid, void** out) override {
    *out = nullptr;
    if (iid != com::IID_IUnknown && iid != com::IID_INvRegArchive)
      return com::E_NOINTERFACE;
    *out = this;
    ++refs;
    return com::S_OK;
  }
  com::ULONG AddRef() override { return ++refs; }
  com::ULONG Release() override { return --refs; }
  com::HRESULT time_range(arc_record*, arc_record*, std::int32_t*) override { return com::E_NOTIMPL; }
  com::HRESULT channel_list(std::int32_t, std::int32_t, std::int32_t*, std::int16_t*, std::int32_t*) override {
    return com::E_NOTIMPL;
  }
  com::HRESULT read_records(const arc_record* start, arc_record* next, std::int32_t, const arc_channel_set* subset,
                            const arc_selector*, std::int32_t max, std::int32_t* count, arc_record* out,
                            std::int32_t* status) override {
    const int call = static_cast<int>(calls.size());
    calls.push_back({*start, next->time, {subset->channels, subset->channels + subset->count}, max});
    *count = 0;
    *status = call == status_on_call ? 3 : 0;
    if (call == fail_on_call)
      return com::E_FAIL;
    std::int32_t n = 0;
    for (const arc_record& r : records) {
      if (n == max)
        break;
      if (key(r) < key(*start) || r.time >= next->time || !asked(r.channel, *subset))
        continue;
      out[n++] = r;
    }
    *count = n;
    if (tells_next && n > 0) {
      *next = out[n - 1];
      next->data[5] = static_cast<std::uint8_t>(next->data[5] + 1);
    }
    return com::S_OK;
  }
  com::HRESULT read_values(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const std::int16_t*,
                           const arc_selector*, std::int32_t, arc_record*, std::int32_t*) override {
    return com::E_NOTIMPL;
  }
  com::HRESULT query_pair(std::int32_t*, std::int32_t*) override { return com::E_NOTIMPL; }
  com::HRESULT query_word(std::int32_t*) override { return com::E_NOTIMPL; }

private:
  static bool asked(std::int16_t channel, const arc_channel_set& subset) {
    for (std::int32_t i = 0; i < subset.count; ++i)
      if (subset.channels[i] == channel)
        return true;
    return false;
  }
};

// A client site with an in-place site: logs the calls by name and answers the window context
// with `position`.
class fake_site final : public com::IOleClientSite, public com::IOleInPlaceSite {
public:
  com::RECT position;
  com::ole_window window;
  std::vector<std::string> log;
  int refs = 1;

  com::HRESULT QueryInterface(const com::IID& iid, void** out) override {
    *out = nullptr;
    if (iid == com::IID_IUnknown || iid == com::IID_IOleClientSite)
      *out = static_cast<com::IOleClientSite*>(this);
    else if (iid == com::IID_IOleWindow || iid == com::IID_IOleInPlaceSite)
      *out = static_cast<com::IOleInPlaceSite*>(this);
    if (!*out)
      return com::E_NOINTERFACE;
    ++refs;
    return com::S_OK;
  }
  com::ULONG AddRef() override { return ++refs; }
  com::ULONG Release() override { return --refs; }
  com::HRESULT SaveObject() override { return com::E_NOTIMPL; }
  com::HRESULT GetMoniker(std::uint32_t, std::uint32_t, com::IUnknown**) override { return com::E_NOTIMPL; }
  com::HRESULT GetContainer(com::IUnknown**) override { return com::E_NOTIMPL; }
  com::HRESULT ShowObject() override { return com::E_NOTIMPL; }
  com::HRESULT OnShowWindow(bool) override { return com::E_NOTIMPL; }
  com::HRESULT RequestNewObjectLayout() override { return com::E_NOTIMPL; }
  com::HRESULT GetWindow(com::HWND* w) override {
    log.push_back("GetWindow");
    *w = &window;
    return com::S_OK;
  }
  com::HRESULT ContextSensitiveHelp(bool) override { return com::E_NOTIMPL; }
  com::HRESULT CanInPlaceActivate() override {
    log.push_back("CanInPlaceActivate");
    return com::S_OK;
  }
  com::HRESULT OnInPlaceActivate() override {
    log.push_back("OnInPlaceActivate");
    return com::S_OK;
  }
  com::HRESULT OnUIActivate() override { return com::E_NOTIMPL; }
  com::HRESULT GetWindowContext(com::IUnknown** frame, com::IUnknown** document, com::RECT* pos, com::RECT* clip,
                                void** info) override {
    log.push_back("GetWindowContext");
    *frame = nullptr;
    *document = nullptr;
    *info = nullptr;
    *pos = position;
    *clip = position;
    return com::S_OK;
  }
  com::HRESULT Scroll(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
  com::HRESULT OnUIDeactivate(bool) override { return com::E_NOTIMPL; }
  com::HRESULT OnInPlaceDeactivate() override {
    log.push_back("OnInPlaceDeactivate");
    return com::S_OK;
  }
  com::HRESULT DiscardUndoState() override { return com::E_NOTIMPL; }
  com::HRESULT DeactivateAndUndo() override { return com::E_NOTIMPL; }
  com::HRESULT OnPosRectChange(const com::RECT*) override { return com::E_NOTIMPL; }
};

}  // namespace quillet::trend::testing
