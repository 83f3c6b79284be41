// The hidden host of one embedded control: a never-shown window of the drawing size, the
// control activated in place in it, and the client site the control talks to. The printer
// owns its window and its references to the control and the site; the site points back to
// the printer without a reference and dies when its last reference goes.
#pragma once

#include <cstdint>
#include <ostream>

#include "platform/com/ole.h"

namespace quillet {

class ocx_printer;

// The client site handed to the control: answers as a client site and as an in-place site
// of the printer's window and drawing rectangle.
class ocx_printer_site final : public com::IOleClientSite, public com::IOleInPlaceSite {
public:
  explicit ocx_printer_site(ocx_printer& owner) : owner_(&owner) {}

  com::HRESULT QueryInterface(const com::IID& iid, void** out) override;
  com::ULONG AddRef() override;
  com::ULONG Release() override;

  com::HRESULT SaveObject() override;
  com::HRESULT GetMoniker(std::uint32_t assign, std::uint32_t which, com::IUnknown** moniker) override;
  com::HRESULT GetContainer(com::IUnknown** container) override;
  com::HRESULT ShowObject() override;
  com::HRESULT OnShowWindow(bool show) override;
  com::HRESULT RequestNewObjectLayout() override;

  com::HRESULT GetWindow(com::HWND* window) override;
  com::HRESULT ContextSensitiveHelp(bool enter) override;
  com::HRESULT CanInPlaceActivate() override;
  com::HRESULT OnInPlaceActivate() override;
  com::HRESULT OnUIActivate() override;
  com::HRESULT GetWindowContext(com::IUnknown** frame, com::IUnknown** document, com::RECT* position,
                                com::RECT* clip, void** frame_info) override;
  com::HRESULT Scroll(std::int32_t dx, std::int32_t dy) override;
  com::HRESULT OnUIDeactivate(bool undoable) override;
  com::HRESULT OnInPlaceDeactivate() override;
  com::HRESULT DiscardUndoState() override;
  com::HRESULT DeactivateAndUndo() override;
  com::HRESULT OnPosRectChange(const com::RECT* position) override;

private:
  ~ocx_printer_site() = default;

  ocx_printer* owner_;  // not counted
  com::ULONG count_ = 1;
};

class ocx_printer {
public:
  // Makes the hidden window: class "ocx_printer_wnd_class", title "ocx_printer_wnd", 1 x 1.
  ocx_printer();
  // Detaches the control, destroys the window and drops the control.
  ~ocx_printer();
  ocx_printer(const ocx_printer&) = delete;
  ocx_printer& operator=(const ocx_printer&) = delete;

  // Hosts the object's control in the window and activates it in place.
  bool attach(com::IUnknown* object);
  // Deactivates and drops the control, then drops the site.
  void detach();
  // Resizes the drawing rectangle, the window and the control's rectangles.
  void set_size(int width, int height);
  // Draws the control over the button face and writes the picture as a BMP (type 1) or PNG
  // (type 0 or 3) file of 4 or 8 bits per pixel; false without touching the stream for any
  // other type or depth, and for a drawing size that cannot be allocated.
  bool render_image(int image_type, int bits_per_pixel, std::ostream& stream);

  com::HWND window() const { return window_; }
  const com::RECT& rect() const { return rect_; }
  com::IOleObject* control() const { return control_.get(); }
  ocx_printer_site* site() const { return site_; }

private:
  com::HWND window_ = nullptr;  // owned
  com::RECT rect_{0, 0, 1, 1};
  rc_ptr<com::IOleObject> control_;
  ocx_printer_site* site_ = nullptr;  // one reference
};

}  // namespace quillet
