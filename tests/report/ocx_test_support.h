// Helpers of the embedded-control tests: a recording control that draws a red block, a
// recording trend control, and a report run whose image files stay readable afterwards.
#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/com/ole.h"
#include "platform/com/registry.h"
#include "platform/trend/trend_interfaces.h"
#include "tests/report/report_test_util.h"

namespace quillet::ocx_test {

// What the fakes saw, in order; cleared by each test.
inline std::vector<std::string> calls;

inline std::string rect_text(const com::RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
  return text;
}

// A control that logs the embedding calls and draws a red block over the top-left quarter.
class fake_control : public com::IOleObject, public com::IOleInPlaceObject, public com::IViewObject {
public:
  virtual ~fake_control() {
    if (site_)
      site_->Release();
    calls.push_back("destroyed");
  }

  com::HRESULT QueryInterface(const com::IID& iid, void** out) override {
    *out = nullptr;
    if (iid == com::IID_IUnknown || iid == com::IID_IOleObject)
      *out = static_cast<com::IOleObject*>(this);
    else if (iid == com::IID_IOleWindow || iid == com::IID_IOleInPlaceObject)
      *out = static_cast<com::IOleInPlaceObject*>(this);
    else if (iid == com::IID_IViewObject)
      *out = static_cast<com::IViewObject*>(this);
    else
      *out = more_interface(iid);
    if (!*out)
      return com::E_NOINTERFACE;
    AddRef();
    return com::S_OK;
  }
  com::ULONG AddRef() override { return ++count_; }
  com::ULONG Release() override {
    com::ULONG left = --count_;
    if (left == 0)
      delete this;
    return left;
  }

  com::HRESULT SetClientSite(com::IOleClientSite* site) override {
    calls.push_back("SetClientSite");
    if (refuses_site)
      return com::E_FAIL;
    if (site)
      site->AddRef();
    if (site_)
      site_->Release();
    site_ = site;
    return com::S_OK;
  }
  com::HRESULT GetClientSite(com::IOleClientSite**) override { return com::E_NOTIMPL; }
  com::HRESULT Close(std::uint32_t) override { return com::S_OK; }
  com::HRESULT DoVerb(std::int32_t verb, const com::MSG* message, com::IOleClientSite* site, std::int32_t index,
                      com::HWND parent, const com::RECT* position) override {
    char text[160];
    std::snprintf(text, sizeof text, "DoVerb %d msg=%u site=%d index=%d window=%s/%s/%dx%d rect=%s", verb,
                  message ? message->message : 99u, site == site_ ? 1 : 0, index, parent->class_name,
                  parent->title, parent->width, parent->height, rect_text(*position).c_str());
    calls.push_back(text);
    return com::E_FAIL;  // the host activates whatever the verb answers
  }

  com::HRESULT GetWindow(com::HWND*) override { return com::E_NOTIMPL; }
  com::HRESULT ContextSensitiveHelp(bool) override { return com::E_NOTIMPL; }
  com::HRESULT InPlaceDeactivate() override {
    calls.push_back("InPlaceDeactivate");
    return com::S_OK;
  }
  com::HRESULT UIDeactivate() override { return com::S_OK; }
  com::HRESULT SetObjectRects(const com::RECT* position, const com::RECT* clip) override {
    calls.push_back("SetObjectRects " + rect_text(*position) + " " + rect_text(*clip));
    return com::S_OK;
  }
  com::HRESULT ReactivateAndUndo() override { return com::E_NOTIMPL; }

  com::HRESULT Draw(std::uint32_t aspect, gdi::drawing_surface& surface, const com::RECT& bounds) override {
    calls.push_back("Draw " + std::to_string(aspect) + " " + rect_text(bounds));
    gdi::FillRect(surface, {0, 0, bounds.right / 2, bounds.bottom / 2}, 0xFF0000);
    return com::S_OK;
  }

  com::IOleClientSite* site() const { return site_; }
  bool refuses_site = false;  // SetClientSite fails

protected:
  virtual void* more_interface(const com::IID&) { return nullptr; }

private:
  com::ULONG count_ = 1;
  com::IOleClientSite* site_ = nullptr;
};

inline const com::CLSID test_clsid = com::guid_of("{0C0C0C0C-1111-2222-3333-444455556666}");
inline const char test_class_id[] = "CLSID:{0C0C0C0C-1111-2222-3333-444455556666}";

inline com::IUnknown* make_fake_control() { return static_cast<com::IOleObject*>(new fake_control); }

// What the recording trend control was given.
struct trend_record {
  trend::trend_settings settings{};
  std::vector<trend::trend_curve> curves;
  bool curves_null = false;
  int bridge_channels = -1;  // channels the attached browser listed when the curves came
  std::uint32_t seconds = 0;
  std::uint16_t millis = 0;
};
inline trend_record trend_seen;

// The settings the recording trend control reports before the site changes them.
inline trend::trend_settings control_settings() {
  trend::trend_settings s{};
  s.control_word = 0x1234;
  s.dt = 5;
  s.tunits = -1;
  s.grid_style = 3;
  for (auto& b : s.control_tail)
    b = 0xAB;
  return s;
}

// The trend control's two interfaces over one object; their common method names are told
// apart by these two layers.
class display_face : public trend::ITrendDisplay {
public:
  com::HRESULT attach_browser(IvxChBrowser* browser) override { return display_attach(browser); }
  virtual com::HRESULT display_attach(IvxChBrowser* browser) = 0;

protected:
  ~display_face() = default;
};
class data_face : public trend::ITrendData {
public:
  com::HRESULT attach_browser(IvxChBrowser* browser) override { return data_attach(browser); }
  virtual com::HRESULT data_attach(IvxChBrowser* browser) = 0;

protected:
  ~data_face() = default;
};

class fake_trend final : public fake_control, public display_face, public data_face {
public:
  com::HRESULT QueryInterface(const com::IID& iid, void** out) override { return fake_control::QueryInterface(iid, out); }
  com::ULONG AddRef() override { return fake_control::AddRef(); }
  com::ULONG Release() override { return fake_control::Release(); }

  com::HRESULT display_reserved3() override { return com::E_NOTIMPL; }
  com::HRESULT set_curves(std::int32_t count, const trend::trend_curve* curves) override {
    calls.push_back("set_curves " + std::to_string(count));
    trend_seen.curves.assign(curves, curves + (curves ? count : 0));
    trend_seen.curves_null = curves == nullptr;
    std::int32_t n = -1;
    if (browser_ && browser_->channel_count(0, &n) == com::S_OK)
      trend_seen.bridge_channels = n;
    return com::S_OK;
  }
  com::HRESULT get_settings(trend::trend_settings* settings) override {
    calls.push_back("get_settings");
    *settings = control_settings();
    return com::S_OK;
  }
  com::HRESULT set_settings(const trend::trend_settings* settings) override {
    calls.push_back("set_settings");
    trend_seen.settings = *settings;
    return com::S_OK;
  }
  com::HRESULT display_reserved7() override { return com::E_NOTIMPL; }
  com::HRESULT display_reserved8() override { return com::E_NOTIMPL; }
  com::HRESULT display_reserved9() override { return com::E_NOTIMPL; }
  com::HRESULT display_attach(IvxChBrowser* browser) override {
    calls.push_back(browser ? "display.attach_browser" : "display.attach_browser null");
    browser_ = browser;
    return com::S_OK;
  }

  com::HRESULT data_reserved3() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved4() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved5() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved6() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved7() override { return com::E_NOTIMPL; }
  com::HRESULT attach_archive(INvRegArchive* archive) override {
    calls.push_back(archive ? "data.attach_archive" : "data.attach_archive null");
    return com::S_OK;
  }
  com::HRESULT data_attach(IvxChBrowser* browser) override {
    calls.push_back(browser == browser_ ? "data.attach_browser same" : "data.attach_browser other");
    return com::S_OK;
  }
  com::HRESULT data_reserved10() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved11() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved12() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved13() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved14() override { return com::E_NOTIMPL; }
  com::HRESULT data_reserved15() override { return com::E_NOTIMPL; }
  com::HRESULT set_mode(std::int32_t mode) override {
    calls.push_back("data.set_mode " + std::to_string(mode));
    return com::S_OK;
  }
  com::HRESULT set_time(std::uint32_t seconds, std::uint16_t millis) override {
    calls.push_back("data.set_time");
    trend_seen.seconds = seconds;
    trend_seen.millis = millis;
    return com::S_OK;
  }

protected:
  void* more_interface(const com::IID& iid) override {
    if (iid == trend::IID_trend_display)
      return static_cast<trend::ITrendDisplay*>(this);
    if (iid == trend::IID_trend_data)
      return static_cast<trend::ITrendData*>(this);
    return nullptr;
  }

private:
  IvxChBrowser* browser_ = nullptr;  // the bridge, which lives as long as the site
};

inline com::IUnknown* make_fake_trend() { return static_cast<com::IOleObject*>(new fake_trend); }

// A report run into a folder that stays until the run object goes: the report's body and
// the folder's files can be read afterwards.
struct ocx_run {
  test::scratch_dir dir;
  std::string body;
  bool ok = false;
  test::keeping_sink diagnostics;  // what the processor printed
};

// Writes the report of a template whose body is `body` with the given source and time into
// the run's folder (files put there before stay); `after` sees the processor before it is reset.
inline void run_report(ocx_run& out, std::string_view body, kov_txl_data_source* source = nullptr,
                       std::uint32_t time = 0, const std::function<void(htdoc_processor&)>& after = {}) {
  std::string html = "<HTML><HEAD></HEAD><BODY>";
  html.append(body);
  html += "</BODY></HTML>";
  auto doc = test::read_document(html);
  htdoc_processor processor(out.diagnostics);
  processor.setup(*doc);
  htdoc_run run;
  run.output_dir = out.dir.path;
  run.base_name = "r";
  run.source = source;
  run.time = time;
  out.ok = processor.generate(run);
  if (after)
    after(processor);
  processor.reset();
  doc->clear();
  out.body = out.ok ? test::body_of(out.dir.read("r.htm")) : std::string("(generate failed)");
}

}  // namespace quillet::ocx_test
