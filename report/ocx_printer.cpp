// The control printer's window, attaching and detaching a control, and sizing.
#include "report/ocx_printer.h"

namespace quillet {

namespace {

constexpr const char* printer_window_class = "ocx_printer_wnd_class";
constexpr const char* printer_window_title = "ocx_printer_wnd";

}  // namespace

// The window is never shown and starts at 1 x 1; a report run sizes it before drawing.
ocx_printer::ocx_printer() {
  window_ = new com::ole_window{printer_window_class, printer_window_title, 1, 1};
}

ocx_printer::~ocx_printer() {
  detach();
  delete window_;
  control_.reset();
}

// Any control held before is let go first. Activation runs whatever the verb answers: a
// control that refuses in-place activation can still draw itself.
bool ocx_printer::attach(com::IUnknown* object) {
  detach();
  control_.reset();
  if (!com::query(object, com::IID_IOleObject, control_))
    return false;
  if (!site_)
    site_ = new ocx_printer_site(*this);
  if (com::FAILED(control_->SetClientSite(site_)))
    return false;
  com::MSG message{};
  control_->DoVerb(com::OLEIVERB_INPLACEACTIVATE, &message, site_, 0, window_, &rect_);
  return true;
}

void ocx_printer::detach() {
  if (control_) {
    rc_ptr<com::IOleInPlaceObject> in_place;
    if (com::query(control_.get(), com::IID_IOleInPlaceObject, in_place))
      in_place->InPlaceDeactivate();
    control_.reset();
  }
  if (site_)
    site_->Release();
  site_ = nullptr;
}

// The window moves to 0, 0 with the new size; nothing is repainted since nothing is shown.
void ocx_printer::set_size(int width, int height) {
  rect_.right = width;
  rect_.bottom = height;
  window_->width = width;
  window_->height = height;
  rc_ptr<com::IOleInPlaceObject> in_place;
  if (com::query(control_.get(), com::IID_IOleInPlaceObject, in_place))
    in_place->SetObjectRects(&rect_, &rect_);
}

}  // namespace quillet
