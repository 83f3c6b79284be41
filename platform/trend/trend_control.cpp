// The trend control's interfaces: interface lookup and counting, in-place activation by a
// host, the display and data settings, and drawing through the view interface.
#include "platform/trend/trend_control.h"

#include <algorithm>

#include "platform/com/wide_text.h"
#include "platform/trend/trend_svg.h"

namespace quillet::trend {

namespace {

std::atomic<std::int64_t> live_controls{0};

// The size of a rectangle, 0 for an inverted or overflowing one.
int extent(std::int32_t from, std::int32_t to) {
  const std::int64_t n = static_cast<std::int64_t>(to) - from;
  return n > 0 && n <= gdi::max_surface_side ? static_cast<int>(n) : 0;
}

// Asks the site for the control's position rectangle; frame and document interfaces the site
// hands out with it are released at once, the control has no use for them.
bool window_context(com::IOleInPlaceSite& site, com::RECT& place) {
  com::IUnknown* frame = nullptr;
  com::IUnknown* document = nullptr;
  void* frame_info = nullptr;
  com::RECT clip;
  const com::HRESULT hr = site.GetWindowContext(&frame, &document, &place, &clip, &frame_info);
  if (frame)
    frame->Release();
  if (document)
    document->Release();
  return com::SUCCEEDED(hr);
}

}  // namespace

std::int64_t trend_controls_alive() { return live_controls.load(); }

trend_control::trend_control() : settings_(default_trend_settings()) { ++live_controls; }

trend_control::~trend_control() { --live_controls; }

// Answers every interface the object has; IUnknown is always the object-embedding interface, so
// identity comparisons between interfaces of one object hold.
com::HRESULT trend_control::QueryInterface(const com::IID& iid, void** out) {
  if (!out)
    return com::E_POINTER;
  *out = nullptr;
  if (iid == com::IID_IUnknown || iid == com::IID_IOleObject)
    *out = static_cast<com::IOleObject*>(this);
  else if (iid == com::IID_IOleInPlaceObject || iid == com::IID_IOleWindow)
    *out = static_cast<com::IOleInPlaceObject*>(this);
  else if (iid == com::IID_IViewObject)
    *out = static_cast<com::IViewObject*>(this);
  else if (iid == IID_trend_display)
    *out = static_cast<ITrendDisplay*>(this);
  else if (iid == IID_trend_data)
    *out = static_cast<ITrendData*>(this);
  else if (iid == IID_trend_legend)
    *out = static_cast<ITrendLegend*>(this);
  else if (iid == IID_trend_svg)
    *out = static_cast<ITrendSvg*>(this);
  if (!*out)
    return com::E_NOINTERFACE;
  AddRef();
  return com::S_OK;
}

com::ULONG trend_control::AddRef() { return ++refs_; }

com::ULONG trend_control::Release() {
  const com::ULONG n = --refs_;
  if (n == 0)
    delete this;
  return n;
}

com::HRESULT trend_control::SetClientSite(com::IOleClientSite* site) {
  site_ = rc_ptr<com::IOleClientSite>(site);
  return com::S_OK;
}

com::HRESULT trend_control::GetClientSite(com::IOleClientSite** site) {
  if (!site)
    return com::E_POINTER;
  *site = site_.get();
  if (*site)
    (*site)->AddRef();
  return com::S_OK;
}

com::HRESULT trend_control::Close(std::uint32_t) {
  InPlaceDeactivate();
  site_.reset();
  return com::S_OK;
}

// In-place activation takes the window and the rectangles from the site (or, without an
// in-place site, the rectangle the host passed) and tells the site it is active.
com::HRESULT trend_control::DoVerb(std::int32_t verb, const com::MSG*, com::IOleClientSite* site, std::int32_t,
                                   com::HWND parent, const com::RECT* position) {
  if (verb != com::OLEIVERB_INPLACEACTIVATE)
    return com::E_NOTIMPL;
  rc_ptr<com::IOleInPlaceSite> in_place;
  com::query(site ? site : site_.get(), com::IID_IOleInPlaceSite, in_place);
  window_ = parent;
  if (position)
    take_size(*position);
  if (!in_place) {
    active_ = true;
    return com::S_OK;
  }
  if (in_place->CanInPlaceActivate() != com::S_OK)
    return com::E_FAIL;
  in_place->OnInPlaceActivate();
  if (com::RECT place; window_context(*in_place.get(), place))
    take_size(place);
  com::HWND window = nullptr;
  if (com::SUCCEEDED(in_place->GetWindow(&window)) && window)
    window_ = window;
  active_ = true;
  return com::S_OK;
}

com::HRESULT trend_control::GetWindow(com::HWND* window) {
  if (!window)
    return com::E_POINTER;
  *window = window_;
  return window_ ? com::S_OK : com::E_FAIL;
}

com::HRESULT trend_control::ContextSensitiveHelp(bool) { return com::E_NOTIMPL; }

com::HRESULT trend_control::InPlaceDeactivate() {
  if (!active_)
    return com::S_OK;
  active_ = false;
  rc_ptr<com::IOleInPlaceSite> in_place;
  if (com::query(site_.get(), com::IID_IOleInPlaceSite, in_place))
    in_place->OnInPlaceDeactivate();
  return com::S_OK;
}

com::HRESULT trend_control::UIDeactivate() { return com::S_OK; }

com::HRESULT trend_control::SetObjectRects(const com::RECT* position, const com::RECT*) {
  if (!position)
    return com::E_POINTER;
  take_size(*position);
  return com::S_OK;
}

com::HRESULT trend_control::ReactivateAndUndo() { return com::E_NOTIMPL; }

// Draws the current window over the given rectangle. The history is read and the picture
// drawn on the first drawing after a change; later drawings of the same size copy the picture.
com::HRESULT trend_control::Draw(std::uint32_t aspect, gdi::drawing_surface& surface, const com::RECT& bounds) {
  if (aspect != com::DVASPECT_CONTENT)
    return com::E_INVALIDARG;
  const int w = extent(bounds.left, bounds.right);
  const int h = extent(bounds.top, bounds.bottom);
  if (w == 0 || h == 0)
    return com::E_INVALIDARG;
  if (!surface.valid())
    return com::E_FAIL;
  const bool fresh = history_fresh_;
  const trend_view view = this->view();
  if (fresh && picture_.holds(w, h)) {
    picture_.paint(surface.context(), bounds.left, bounds.top);
    return com::S_OK;
  }
  cairo_t* cr = picture_.start(w, h);
  if (!cr) {
    draw_trend(surface.context(), {bounds.left, bounds.top, bounds.left + w, bounds.top + h}, view);
    return com::S_OK;
  }
  draw_trend(cr, {0, 0, w, h}, view);
  cairo_destroy(cr);
  picture_.paint(surface.context(), bounds.left, bounds.top);
  return com::S_OK;
}

// Keeps the entries with their texts in UTF-8, as the drawing measures and shows them.
com::HRESULT trend_control::set_legend(std::int32_t count, const trend_legend_entry* entries) {
  if (count < 0)
    return com::E_INVALIDARG;
  if (count > 0 && !entries)
    return com::E_POINTER;
  legend_.clear();
  for (std::int32_t i = 0; i < std::min(count, max_trend_curves); ++i) {
    const trend_legend_entry& e = entries[i];
    legend_.push_back({e.curve, com::wide_to_utf8(e.name), com::wide_to_utf8(e.unit), e.fault, e.color, e.line_type});
  }
  history_fresh_ = false;
  return com::S_OK;
}

// Draws straight into an SVG document, without the kept picture, so that lines and text stay
// vectors.
com::HRESULT trend_control::write_svg(std::int32_t width, std::int32_t height, std::ostream& out) {
  if (!gdi::surface_size_ok(width, height))
    return com::E_INVALIDARG;
  return write_trend_svg(width, height, view(), out) ? com::S_OK : com::E_FAIL;
}

com::HRESULT trend_control::display_reserved3() { return com::E_NOTIMPL; }

// Replaces the curves by copies of the records, at most max_trend_curves of them.
com::HRESULT trend_control::set_curves(std::int32_t count, const trend_curve* curves) {
  if (count < 0)
    return com::E_INVALIDARG;
  if (count > 0 && !curves)
    return com::E_POINTER;
  curves_.assign(curves, curves + std::min(count, max_trend_curves));
  history_fresh_ = false;
  return com::S_OK;
}

com::HRESULT trend_control::get_settings(trend_settings* settings) {
  if (!settings)
    return com::E_POINTER;
  *settings = settings_;
  return com::S_OK;
}

// Keeps the record as given; drawing reads every field defensively.
com::HRESULT trend_control::set_settings(const trend_settings* settings) {
  if (!settings)
    return com::E_POINTER;
  settings_ = *settings;
  history_fresh_ = false;
  return com::S_OK;
}

com::HRESULT trend_control::display_reserved7() { return com::E_NOTIMPL; }
com::HRESULT trend_control::display_reserved8() { return com::E_NOTIMPL; }
com::HRESULT trend_control::display_reserved9() { return com::E_NOTIMPL; }

com::HRESULT trend_control::data_reserved3() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved4() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved5() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved6() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved7() { return com::E_NOTIMPL; }

com::HRESULT trend_control::attach_archive(INvRegArchive* archive) {
  archive_ = rc_ptr<INvRegArchive>(archive);
  history_fresh_ = false;
  return com::S_OK;
}

com::HRESULT trend_control::attach_browser(IvxChBrowser* browser) {
  browser_ = rc_ptr<IvxChBrowser>(browser);
  return com::S_OK;
}

com::HRESULT trend_control::data_reserved10() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved11() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved12() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved13() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved14() { return com::E_NOTIMPL; }
com::HRESULT trend_control::data_reserved15() { return com::E_NOTIMPL; }

// The control only has history to show, so every mode reads the archive; the mode is kept
// for the host to read back.
com::HRESULT trend_control::set_mode(std::int32_t mode) {
  mode_ = mode;
  history_fresh_ = false;
  return com::S_OK;
}

com::HRESULT trend_control::set_time(std::uint32_t seconds, std::uint16_t millis) {
  start_seconds_ = seconds;
  start_millis_ = static_cast<std::uint16_t>(std::min<std::uint16_t>(millis, 999));
  history_fresh_ = false;
  return com::S_OK;
}

void trend_control::take_size(const com::RECT& rect) {
  width_ = extent(rect.left, rect.right);
  height_ = extent(rect.top, rect.bottom);
}

// The picture's content; when the archive failed, curves that got no samples say so in the
// legend.
trend_view trend_control::view() {
  const trend_history& read = history();
  legend_shown_ = legend_;
  for (legend_entry& e : legend_shown_)
    if (read.failed && e.fault == trend_fault::none && e.curve >= 0 &&
        static_cast<std::size_t>(e.curve) < read.curves.size() && read.curves[static_cast<std::size_t>(e.curve)].empty())
      e.fault = trend_fault::read_failed;
  return {settings_, curves_, read, {start_seconds_, start_millis_, effective_span(settings_)}, legend_shown_};
}

const trend_history& trend_control::history() {
  if (history_fresh_)
    return history_;
  history_ = read_trend_history(archive_.get(), curves_, {start_seconds_, start_millis_, effective_span(settings_)});
  history_fresh_ = true;
  return history_;
}

}  // namespace quillet::trend
